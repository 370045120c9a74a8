// A picture file beside the program, loaded into the object table in place
// of the built-in one and copied to the back screen plainly, with its colour
// key, and presented.
#include <cstddef>
#include <cstdint>

#include "draw/eldraw.h"
#include "fuzz_support.h"
#include "platform/testing/testing.h"
#include "program_reset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  test::ResetProgram(0);
  fuzz::WriteFile("FUZZPIC", data, size);
  platform::testing::SetProgramDirectory(fuzz::PrivateFolder());
  draw::SetFullScreenFlag(false);
  if (elDraw::Screen(640, 480) != 1) return 0;
  elDraw::SetKeyColor(0);
  const int object = elDraw::LoadObject("FUZZPIC");
  if (object == 0) {
    elDraw::Release();
    return 0;
  }
  const int width = draw::Object(object).width;
  const int height = draw::Object(object).height;
  elDraw::Put(-3, -5, object, 0, 0, width, height);
  elDraw::PutKeyed(600, 440, object, 1, 1, width, height);
  elDraw::Put(0, 0, object, 0, 0, width / 2, height / 2);
  elDraw::Present();
  elDraw::Release();
  return 0;
}
