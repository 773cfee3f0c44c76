// The texts of the installer window's two states, the rich text of the permission list, and
// the drop of a file on that list.
#include "window_texts.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "tables.h"
#include "text.h"

namespace norvex::sideloader {
namespace {

constexpr std::size_t kLongName = 30;

// ASCII as it is; any other UTF-16 unit as \uN? with N read as a signed 16-bit number (the
// way rich text counts it); surrogate halves are escaped one by one and joined by the reader.
void AppendEscaped(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  char escape[16];
  std::snprintf(escape, sizeof escape, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(c)));
  out += escape;
}

}  // namespace

WindowTexts ComposeWindowTexts(const CPackageInfo& package) {
  WindowTexts texts;
  if (IsLoaded(package)) {
    texts.name = package.m_strDisplayName;
    texts.version = u"版本：" + package.m_strVersionName + u" - 大小：" + FormatSize(package.m_nFileSize);
    texts.minimum = u"最低要求 " + PlatformName(package.m_nSdkLevel);
    texts.heading = u"注意，此应用有权限进行以下操作：";
    texts.listIsRich = !package.m_permissions.empty();
    texts.list = texts.listIsRich ? PermissionRichText(package.m_permissions) : u"无敏感权限";
    texts.status = u"apk已经准备好，手机连接后请点击安装按钮，对应apk软件将自动安装到您的手机上。";
    texts.installEnabled = true;
    return texts;
  }
  if (package.m_bFileGiven) texts.name = package.m_strDisplayName;
  texts.minimum = u"未接收到任何要安装到手机的apk文件";
  texts.heading = u"欢迎使用诺维宝软件";
  texts.list = u"将文件拖到此方框中，即可进行相应操作";
  texts.status = u"请用USB线连接好手机..";
  return texts;
}

std::u16string PermissionRichText(const std::vector<PermissionEntry>& permissions) {
  std::u16string rich = u"{\\rtf1 \\ansi";
  for (const PermissionEntry& entry : permissions) {
    rich += u" \\b " + entry.strLabel + u"\\b0\\par " + entry.strDescription + u"\\par\\par";
  }
  return rich + u"}";
}

std::string RichTextForStream(std::u16string_view richText) {
  std::string out;
  out.reserve(richText.size() * 2);
  for (char16_t c : richText) AppendEscaped(out, c);
  return out;
}

std::string PlainTextForStream(std::u16string_view text) {
  std::string out = "{\\rtf1 \\ansi ";
  for (char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') out += '\\';
    AppendEscaped(out, c);
  }
  return out + "}";
}

int NameFontHeight(std::u16string_view displayName) { return displayName.size() > kLongName ? 16 : 20; }

bool ReceiveDrop(CPackageInfo& package, const std::vector<std::u16string>& files, bool installing,
                 InspectionContext& context) {
  if (files.empty()) return true;
  if (installing) {
    context.messages.ShowMessage(kDropWhileInstalling);
    return false;
  }
  package.m_bFileGiven = true;
  package.m_strPackagePath = files.front();
  std::vector<PermissionEntry> earlier = std::exchange(package.m_permissions, {});
  if (CheckPackageFile(package, context.messages)) {
    InspectPackage(package, context);
  } else if (package.m_bIsPackage) {
    // A folder or an unreadable file: the earlier package stays loaded, and its list must not
    // turn into "no sensitive permissions" while it can still be installed.
    package.m_permissions = std::move(earlier);
  }
  return true;
}

}  // namespace norvex::sideloader
