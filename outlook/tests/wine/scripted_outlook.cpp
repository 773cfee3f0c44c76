// Reading the stand-in server's script, and writing values the way its call log shows them.
#include "scripted_outlook.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "text.h"

namespace norvex::fake_outlook {
namespace {

std::u16string Unescape(const std::string& utf8) {
  std::string bytes;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\\' && i + 1 < utf8.size()) {
      ++i;
      bytes += utf8[i] == '0' ? '\0' : utf8[i];
    } else {
      bytes += utf8[i];
    }
  }
  return text::FromUtf8(bytes);
}

std::shared_ptr<outlook::Variant> ParseValue(const std::string& type, const std::string& value) {
  auto held = std::make_shared<outlook::Variant>();
  VARIANT& v = *held->get();
  if (type == "text") {
    std::u16string s = Unescape(value);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocStringLen(win::W(s.data()), static_cast<UINT>(s.size()));
  } else if (type == "date") {
    v.vt = VT_DATE;
    v.date = std::stod(value);
  } else if (type == "long") {
    v.vt = VT_I4;
    v.lVal = static_cast<LONG>(std::stol(value, nullptr, 0));
  } else if (type == "bool") {
    v.vt = VT_BOOL;
    v.boolVal = static_cast<VARIANT_BOOL>(std::stoi(value));
  } else {
    throw std::runtime_error("unknown value type " + type);
  }
  return held;
}

Kind ItemKind(const std::string& word) {
  if (word == "contact") return Kind::Contact;
  if (word == "appointment") return Kind::Appointment;
  if (word == "distlist") return Kind::DistList;
  throw std::runtime_error("unknown item kind " + word);
}

HRESULT Code(const std::string& word) { return static_cast<HRESULT>(std::stoul(word, nullptr, 0)); }

}  // namespace

const char* KindName(Kind kind) {
  static const char* const names[] = {"Application", "NameSpace",    "Folder",      "Items",      "ContactItem",
                                      "AppointmentItem", "DistListItem", "Attachments", "Attachment", "RecurrencePattern"};
  return names[static_cast<int>(kind)];
}

World LoadWorld(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  if (!in) throw std::runtime_error("cannot open the script");
  World world;
  std::shared_ptr<Item> item;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string verb, a, b;
    words >> verb;
    try {
      if (verb.empty() || verb[0] == '#') continue;
      if (verb == "folder") {
        auto folder = std::make_shared<Folder>();
        words >> a >> b;
        folder->number = std::stol(a);
        folder->addKind = ItemKind(b);
        world.folders.push_back(folder);
        continue;
      }
      if (verb == "fail") {
        words >> a >> b;
        std::string how;
        words >> how;
        world.failures[text::FromUtf8(a)] = Failure{Code(b), how == "exception"};
        continue;
      }
      if (verb == "slow-lookup") {
        words >> a >> b;
        world.lookupDelays[text::FromUtf8(a)] = std::stoi(b);
        continue;
      }
      if (verb == "item") {
        if (world.folders.empty()) throw std::runtime_error("an item before any folder");
        words >> a;
        item = std::make_shared<Item>();
        item->kind = ItemKind(a);
        item->folder = world.folders.back();
        world.folders.back()->items.push_back(item);
        continue;
      }
      if (!item) throw std::runtime_error("a property before any item");
      words >> a;
      if (verb == "qi-fail") {
        item->interfaceFailure = Code(a);
        continue;
      }
      words >> b;
      std::string rest;
      std::getline(words >> std::ws, rest);
      if (verb == "set") {
        item->properties[text::FromUtf8(a)] = ParseValue(b, rest);
      } else if (verb == "recur") {
        item->recurrence[text::FromUtf8(a)] = ParseValue(b, rest);
      } else if (verb == "attach") {
        b += rest.empty() ? "" : " " + rest;
        item->attachments.push_back(std::make_shared<Attachment>(Attachment{text::FromUtf8(a), b}));
      } else {
        throw std::runtime_error("unknown directive " + verb);
      }
    } catch (const std::exception& e) {
      throw std::runtime_error("script line " + std::to_string(number) + ": " + e.what());
    }
  }
  return world;
}

std::shared_ptr<outlook::Variant> Hold(const VARIANT& value) {
  auto held = std::make_shared<outlook::Variant>();
  ::VariantCopyInd(held->get(), const_cast<VARIANT*>(&value));
  return held;
}

std::string Render(const VARIANT& value) {
  char number[64];
  switch (value.vt) {
    case VT_BSTR: {
      if (!value.bstrVal) return "null-text";
      std::string out = "text:";
      for (char c : text::ToUtf8(std::u16string(win::U(value.bstrVal), ::SysStringLen(value.bstrVal))))
        out += c == '\0' ? std::string("\\0") : std::string(1, c);
      return out;
    }
    case VT_DATE: std::snprintf(number, sizeof number, "date:%.17g", value.date); break;
    case VT_I4: std::snprintf(number, sizeof number, "long:%ld", static_cast<long>(value.lVal)); break;
    case VT_BOOL: std::snprintf(number, sizeof number, "bool:%d", value.boolVal); break;
    case VT_ERROR: std::snprintf(number, sizeof number, "error:0x%08lX", static_cast<unsigned long>(value.scode)); break;
    case VT_DISPATCH: return "dispatch";
    case VT_EMPTY: return "empty";
    default: std::snprintf(number, sizeof number, "vt:%u", value.vt); break;
  }
  return number;
}

}  // namespace norvex::fake_outlook
