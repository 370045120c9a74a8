#include "files/user_text.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "draw/messages.h"
#include "platform/platform.h"
#include "report/report.h"

namespace files {

namespace {

const report::PlayerText kTexts[kTextCount] = {
    {"パスが長すぎます（260バイトまで）。", "The path is too long (at most 260 bytes)."},
    {"スコアデータを保存できません。", "The score data cannot be saved."},
    {"ファイル選択ダイアログがありません。次のパッケージをインストールしてください:",
     "No file chooser is installed. Please install this package:"},
};

// The reason for an error number, in the user's language where we know it.
std::string Reason(int errorNumber, bool japanese) {
  switch (errorNumber) {
    case platform::kNotARegularFile:
      return japanese ? "通常のファイルではありません（パイプまたはデバイス）" : "not a regular file: a pipe or a device";
    case ELOOP: return japanese ? "シンボリックリンクは開きません" : "a symbolic link, which is not followed";
    case kHoldsAnotherFile:
      return japanese ? "スコアデータではない別のファイルがあります" : "another file that is not score data lies there";
    default: break;
  }
  if (japanese) {
    switch (errorNumber) {
      case ENOENT: return "ファイルがありません";
      case EACCES:
      case EPERM: return "アクセスが許可されていません";
      case EISDIR: return "フォルダーです";
      case ENOSPC: return "ディスクに空きがありません";
      case EROFS: return "読み取り専用の場所です";
      case EFBIG: return "ファイルが大きすぎます";
      default: break;
    }
  }
  return std::strerror(errorNumber);
}

// Path bytes that are not UTF-8 are shown as '?' rather than garbling the box.
std::string Printable(const char* path) {
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p != 0;) {
    int length = *p < 0x80 ? 1 : (*p >> 5) == 0x6 ? 2 : (*p >> 4) == 0xE ? 3 : (*p >> 3) == 0x1E ? 4 : 0;
    for (int i = 1; i < length; ++i)
      if ((p[i] & 0xC0) != 0x80) {
        length = 0;  // stops at the terminator too
        break;
      }
    if (length == 0) {
      out += '?';
      ++p;
    } else {
      out.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
      p += length;
    }
  }
  return out;
}

}  // namespace

std::string ReasonText(int errorNumber) { return Reason(errorNumber, platform::SystemLanguageIsJapanese()); }

const char* Text(TextId id) {
  return report::InPlayersLanguage(kTexts[id]);
}

void ShowFileMessage(const char* what, const char* path, int errorNumber) {
  const std::string shown = Printable(path);
  if (errorNumber == 0) {
    draw::ShowMessage("%s\n%s", what, shown.c_str());
  } else {
    const std::string reason = ReasonText(errorNumber);
    draw::ShowMessage("%s\n%s\n(%s)", what, shown.c_str(), reason.c_str());
  }
}

}  // namespace files
