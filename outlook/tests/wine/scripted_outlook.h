// What the stand-in Outlook server plays: folders of items with their properties, attachments
// and recurrence, and the members scripted to fail, read from a small text file:
//   folder NUMBER contact|appointment    a default folder; Add makes items of that kind
//   item contact|appointment|distlist    an item of the last folder
//   set NAME text|date|long|bool VALUE   a property of the last item (text: \0 is a NUL, \\ a backslash)
//   recur NAME TYPE VALUE                a property of the last item's recurrence pattern
//   attach FILE-NAME CONTENT             an attachment of the last item
//   qi-fail HRESULT                      the last item answers the item interfaces with this code
//   fail MEMBER HRESULT [exception]      every call of MEMBER fails, directly or through EXCEPINFO
//   slow-lookup NAME MILLISECONDS        GetIDsOfNames of NAME takes that long (widens races)
#pragma once

#include "win/windows_api.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "variant_value.h"

namespace norvex::fake_outlook {

enum class Kind { Application, NameSpace, Folder, Items, Contact, Appointment, DistList, Attachments, Attachment, Recurrence };
const char* KindName(Kind kind);

using Properties = std::map<std::u16string, std::shared_ptr<outlook::Variant>>;

struct Attachment {
  std::u16string fileName;
  std::string content;
};

struct Folder;

struct Item {
  Kind kind = Kind::Contact;
  std::weak_ptr<Folder> folder;
  Properties properties;
  Properties recurrence;
  std::vector<std::shared_ptr<Attachment>> attachments;
  HRESULT interfaceFailure = S_OK;
  bool deleted = false;
};

struct Folder {
  long number = 0;
  Kind addKind = Kind::Contact;
  std::vector<std::shared_ptr<Item>> items;  // saved items, in the folder's own order
};

struct Failure {
  HRESULT code = E_FAIL;
  bool throughException = false;
};

struct World {
  std::vector<std::shared_ptr<Folder>> folders;
  std::map<std::u16string, Failure> failures;
  std::map<std::u16string, int> lookupDelays;
};

// Throws std::runtime_error naming the line that cannot be read.
World LoadWorld(const std::wstring& path);

// A copy of `value` as a property holds it.
std::shared_ptr<outlook::Variant> Hold(const VARIANT& value);

// One argument or value as the call log writes it: text:..., null-text, date:..., long:...,
// bool:..., error:0x..., dispatch, empty.
std::string Render(const VARIANT& value);

}  // namespace norvex::fake_outlook
