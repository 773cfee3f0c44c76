// The contact table and the picture exchange.
#include "contact_mapping.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "session.h"

namespace norvex::outlook {

namespace {

// Read order; the last number is the write step.
constexpr std::array<FieldRow, 100> kContactFields{{
    {"account", FieldType::String, u"Account", 1},
    {"anniversary", FieldType::Double, u"Anniversary", 2},
    {"assistantName", FieldType::String, u"AssistantName", 3},
    {"haspicture", FieldType::Boolean, u"HasPicture", 51},
    {"birthday", FieldType::Double, u"Birthday", 4},
    {"billingInformation", FieldType::String, u"BillingInformation", 5},
    {"body", FieldType::String, u"Body", 6},
    {"businessHomePage", FieldType::String, u"BusinessHomePage", 7},
    {"categories", FieldType::String, u"Categories", 8},
    {"children", FieldType::String, u"Children", 9},
    {"company", FieldType::String, u"CompanyName", 10},
    {"computerNetworkName", FieldType::String, u"ComputerNetworkName", 11},
    {"customerID", FieldType::String, u"CustomerID", 12},
    {"department", FieldType::String, u"Department", 13},
    {"entryID", FieldType::String, u"EntryID", kReadOnly},
    {"gender", FieldType::Int, u"Gender", 14},
    {"firstName", FieldType::String, u"FirstName", 17},
    {"FTPSite", FieldType::String, u"FTPSite", 19},
    {"fullName", FieldType::String, u"FullName", 15},
    {"governmentIDNumber", FieldType::String, u"GovernmentIDNumber", 20},
    {"hobby", FieldType::String, u"Hobby", 21},
    {"IMAddress", FieldType::String, u"IMAddress", 22},
    {"initials", FieldType::String, u"Initials", 23},
    {"InternetFreeBusyAddress", FieldType::String, u"InternetFreeBusyAddress", 24},
    {"ISDNNumber", FieldType::String, u"ISDNNumber", 25},
    {"jobTitle", FieldType::String, u"JobTitle", 26},
    {"language", FieldType::String, u"Language", 27},
    {"lastName", FieldType::String, u"LastName", 18},
    {"mailingAddress", FieldType::String, u"MailingAddress", 28},
    {"managerName", FieldType::String, u"ManagerName", 29},
    {"messageClass", FieldType::String, u"MessageClass", kReadOnly},
    {"middleName", FieldType::String, u"MiddleName", 30},
    {"mileage", FieldType::String, u"Mileage", 31},
    {"nickName", FieldType::String, u"NickName", 32},
    {"officeLocation", FieldType::String, u"OfficeLocation", 33},
    {"organizationalIDNumber", FieldType::String, u"OrganizationalIDNumber", 34},
    {"pagerNumber", FieldType::String, u"PagerNumber", 75},
    {"personalHomePage", FieldType::String, u"PersonalHomePage", 35},
    {"profession", FieldType::String, u"Profession", 36},
    {"refferedby", FieldType::String, u"ReferredBy", 37},
    {"sensitivity", FieldType::Int, u"Sensitivity", 38},
    {"spouse", FieldType::String, u"Spouse", 39},
    {"subject", FieldType::String, u"Subject", 40},
    {"suffix", FieldType::String, u"Suffix", 16},
    {"telexNumber", FieldType::String, u"TelexNumber", 41},
    {"title", FieldType::String, u"Title", 42},
    {"user1", FieldType::String, u"User1", 43},
    {"user2", FieldType::String, u"User2", 44},
    {"user3", FieldType::String, u"User3", 45},
    {"user4", FieldType::String, u"User4", 46},
    {"webPage", FieldType::String, u"WebPage", 47},
    {"yomiCompanyName", FieldType::String, u"YomiCompanyName", 48},
    {"yomiFirstName", FieldType::String, u"YomiFirstName", 49},
    {"yomiLastName", FieldType::String, u"YomiLastName", 50},
    {"email1Address", FieldType::String, u"Email1Address", 52},
    {"email2Address", FieldType::String, u"Email2Address", 53},
    {"email3Address", FieldType::String, u"Email3Address", 54},
    {"email1DisplayName", FieldType::String, u"Email1DisplayName", 55},
    {"email2DisplayName", FieldType::String, u"Email2DisplayName", 56},
    {"email3DisplayName", FieldType::String, u"Email3DisplayName", 57},
    {"email1AddressType", FieldType::String, u"Email1AddressType", 58},
    {"email2AddressType", FieldType::String, u"Email2AddressType", 59},
    {"email3AddressType", FieldType::String, u"Email3AddressType", 60},
    {"assistantTelephoneNumber", FieldType::String, u"AssistantTelephoneNumber", 61},
    {"businessFaxNumber", FieldType::String, u"BusinessFaxNumber", 62},
    {"businessTelephoneNumber", FieldType::String, u"BusinessTelephoneNumber", 63},
    {"business2TelephoneNumber", FieldType::String, u"Business2TelephoneNumber", 64},
    {"callbackTelephoneNumber", FieldType::String, u"CallbackTelephoneNumber", 65},
    {"carTelephoneNumber", FieldType::String, u"CarTelephoneNumber", 66},
    {"companyMainTelephoneNumber", FieldType::String, u"CompanyMainTelephoneNumber", 67},
    {"homeFaxNumber", FieldType::String, u"HomeFaxNumber", 68},
    {"homeTelephoneNumber", FieldType::String, u"HomeTelephoneNumber", 69},
    {"home2TelephoneNumber", FieldType::String, u"Home2TelephoneNumber", 70},
    {"mobileTelephoneNumber", FieldType::String, u"MobileTelephoneNumber", 71},
    {"otherFaxNumber", FieldType::String, u"OtherFaxNumber", 72},
    {"otherTelephoneNumber", FieldType::String, u"OtherTelephoneNumber", 73},
    {"primaryTelephoneNumber", FieldType::String, u"PrimaryTelephoneNumber", 74},
    {"radioTelephoneNumber", FieldType::String, u"RadioTelephoneNumber", 76},
    {"tTYTDDTelephoneNumber", FieldType::String, u"TTYTDDTelephoneNumber", 77},
    {"businessAddress", FieldType::String, u"BusinessAddress", 78},
    {"businessAddressCity", FieldType::String, u"BusinessAddressCity", 79},
    {"businessAddressCountry", FieldType::String, u"BusinessAddressCountry", 80},
    {"businessAddressPostalCode", FieldType::String, u"BusinessAddressPostalCode", 81},
    {"businessAddressPostOfficeBox", FieldType::String, u"BusinessAddressPostOfficeBox", 82},
    {"businessAddressState", FieldType::String, u"BusinessAddressState", 83},
    {"businessAddressStreet", FieldType::String, u"BusinessAddressStreet", 84},
    {"homeAddress", FieldType::String, u"HomeAddress", 85},
    {"homeAddressCity", FieldType::String, u"HomeAddressCity", 86},
    {"homeAddressCountry", FieldType::String, u"HomeAddressCountry", 87},
    {"homeAddressPostOfficeBox", FieldType::String, u"HomeAddressPostOfficeBox", 88},
    {"homeAddressPostalCode", FieldType::String, u"HomeAddressPostalCode", 89},
    {"homeAddressState", FieldType::String, u"HomeAddressState", 90},
    {"homeAddressStreet", FieldType::String, u"HomeAddressStreet", 91},
    {"otherAddress", FieldType::String, u"OtherAddress", 92},
    {"otherAddressCity", FieldType::String, u"OtherAddressCity", 93},
    {"otherAddressCountry", FieldType::String, u"OtherAddressCountry", 94},
    {"otherAddressPostalCode", FieldType::String, u"OtherAddressPostalCode", 95},
    {"otherAddressPostOfficeBox", FieldType::String, u"OtherAddressPostOfficeBox", 96},
    {"otherAddressState", FieldType::String, u"OtherAddressState", 97},
    {"otherAddressStreet", FieldType::String, u"OtherAddressStreet", 98},
}};

bool IsPictureRow(const FieldRow& row) { return row.property == u"HasPicture"; }

void ReadPicture(OutlookStore& store, const OutlookRef& contact, RecordFields& record, const FieldRow& row,
                 const PicturePaths& pictures) {
  const OutlookRef attachments = store.GetObject(contact, u"Attachments", OutlookInterface::Attachments);
  ReadRow(store, contact, record, row);
  if (store.Get(Required(attachments), u"Count", ValueKind::Long).number < 1) {
    // Outlook may claim a picture that has no attachment to carry it.
    record.SetBoolean(row.field, false);
    return;
  }
  // The count is read again on every turn; of several matches the last one is kept.
  for (int32_t i = 1; i <= store.Get(attachments, u"Count", ValueKind::Long).number; ++i) {
    const OutlookRef attachment =
        store.CallObject(attachments, u"Item", {OutlookValue::Long(i)}, OutlookInterface::Attachment);
    if (store.Get(Required(attachment), u"DisplayName", ValueKind::Text).text == kPictureName)
      store.Call(attachment, u"SaveAsFile", {OutlookValue::Text(pictures.out)});
  }
}

void WritePicture(OutlookStore& store, RecordFields& record, const OutlookRef& contact, const FieldRow& row,
                  const PicturePaths& pictures) {
  if (FetchField(record, row.field, row.type).flag != kFlagTrue) return;
  const std::filesystem::path in(pictures.in);
  std::error_code error;
  if (!std::filesystem::exists(in, error)) return;
  store.Call(contact, u"AddPicture", {OutlookValue::Text(pictures.in)});
  std::filesystem::remove(in, error);  // a file left behind does no harm to the contact
}

}  // namespace

PicturePaths PicturePaths::Fixed() { return {u"C:\\Sync_ContactPicture_Out.jpg", u"C:\\Sync_ContactPicture_In.jpg"}; }

std::span<const FieldRow> ContactFields() { return kContactFields; }

bool ReadContact(OutlookStore& store, const OutlookRef& item, RecordFields& record, const PicturePaths& pictures) {
  try {
    Required(item);
    for (const FieldRow& row : kContactFields) {
      if (IsPictureRow(row))
        ReadPicture(store, item, record, row, pictures);
      else
        ReadRow(store, item, record, row);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool WriteContact(OutlookStore& store, RecordFields& record, const OutlookRef& item, const PicturePaths& pictures) {
  static const std::vector<const FieldRow*> writeOrder = InWriteOrder(kContactFields);
  try {
    Required(item);
    for (const FieldRow* row : writeOrder) {
      if (IsPictureRow(*row))
        WritePicture(store, record, item, *row, pictures);
      else
        WriteRow(store, record, item, *row);
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace norvex::outlook
