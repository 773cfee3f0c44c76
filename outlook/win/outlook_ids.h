// The class and interface identifiers Outlook's automation objects are known by, shared by the
// store and by the stand-in server its Wine test talks to, so both mean the same objects.
#pragma once

#include "outlook_store.h"
#include "win/windows_api.h"

namespace norvex::outlook {

// All Outlook identifiers differ only in their first field: {000630xx-0000-0000-C000-000000000046}.
constexpr GUID OutlookGuid(unsigned long first) {
  return GUID{first, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

inline constexpr GUID kOutlookApplicationClass = OutlookGuid(0x0006F03A);

// The interface an object of that kind is asked for. An `Item` is used through the IDispatch
// the collection handed out, which every Outlook object answers.
inline const IID& InterfaceId(OutlookInterface kind) {
  static constexpr GUID kApplication = OutlookGuid(0x00063001);
  static constexpr GUID kNameSpace = OutlookGuid(0x00063002);
  static constexpr GUID kFolder = OutlookGuid(0x00063006);
  static constexpr GUID kItems = OutlookGuid(0x00063041);
  static constexpr GUID kContactItem = OutlookGuid(0x00063021);
  static constexpr GUID kAppointmentItem = OutlookGuid(0x00063033);
  static constexpr GUID kAttachments = OutlookGuid(0x0006303C);
  static constexpr GUID kAttachment = OutlookGuid(0x00063007);
  static constexpr GUID kRecurrencePattern = OutlookGuid(0x00063044);
  switch (kind) {
    case OutlookInterface::Application: return kApplication;
    case OutlookInterface::NameSpace: return kNameSpace;
    case OutlookInterface::Folder: return kFolder;
    case OutlookInterface::Items: return kItems;
    case OutlookInterface::ContactItem: return kContactItem;
    case OutlookInterface::AppointmentItem: return kAppointmentItem;
    case OutlookInterface::Attachments: return kAttachments;
    case OutlookInterface::Attachment: return kAttachment;
    case OutlookInterface::RecurrencePattern: return kRecurrencePattern;
    case OutlookInterface::Item: break;
  }
  return IID_IDispatch;
}

}  // namespace norvex::outlook
