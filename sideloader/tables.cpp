// The permission and platform tables. Descriptions are numbered texts so that the program's
// string table stays their one home.
#include "tables.h"

namespace norvex::sideloader {
namespace {

constexpr PermissionRow kPermissions[] = {
    {u"android.permission.ACCESS_COARSE_LOCATION", u"（基于网络的）粗略位置", 8},
    {u"android.permission.ACCESS_FINE_LOCATION", u"精确的（GPS）位置", 9},
    {u"android.permission.ACCESS_LOCATION_EXTRA_COMMANDS", u"访问额外的位置信息提供程序命令", 10},
    {u"android.permission.BATTERY_STATS", u"修改电池统计信息", 11},
    {u"android.permission.BROADCAST_PACKAGE_REMOVED", u"发送包删除的广播", 12},
    {u"android.permission.BROADCAST_SMS", u"发送短信收到的广播", 13},
    {u"android.permission.BROADCAST_STICKY", u"发送置顶广播", 14},
    {u"android.permission.BROADCAST_WAP_PUSH", u"发送 WAP-PUSH 收到的广播", 15},
    {u"android.permission.CALL_PHONE", u"直接拨打电话号码", 16},
    {u"android.permission.CALL_PRIVILEGED", u"直接呼叫任何电话号码", 17},
    {u"android.permission.FORCE_STOP_PACKAGES", u"强行停止其他应用程序", 18},
    {u"android.permission.GET_TASKS", u"检索当前运行的应用程序", 19},
    {u"android.permission.INJECT_EVENTS", u"按键和控制按钮", 20},
    {u"android.permission.INSTALL_PACKAGES", u"直接安装应用程序", 21},
    {u"android.permission.MODIFY_PHONE_STATE", u"修改手机状态", 22},
    {u"android.permission.PROCESS_OUTGOING_CALLS", u"拦截外拨电话", 23},
    {u"android.permission.READ_CALENDAR", u"读取日历活动", 24},
    {u"android.permission.READ_CONTACTS", u"读取联系人数据", 25},
    {u"android.permission.READ_MMS", u"读取彩信", 26},
    {u"android.permission.READ_PHONE_STATE", u"读取手机状态和身份", 27},
    {u"android.permission.READ_SMS", u"读取短信", 28},
    {u"android.permission.RECEIVE_MMS", u"接收彩信", 30},
    {u"android.permission.RECEIVE_SMS", u"接收短信", 31},
    {u"android.permission.RECEIVE_WAP_PUSH", u"接收WAP", 32},
    {u"android.permission.REORDER_TASKS", u"对正在运行的应用程序重新排序", 33},
    {u"android.permission.SEND_SMS", u"发送短信", 34},
    {u"android.permission.SET_PREFERRED_APPLICATIONS", u"设置首选程序", 35},
    {u"android.permission.SET_PROCESS_LIMIT", u"限制运行的进程个数", 36},
    {u"android.permission.SYSTEM_ALERT_WINDOW", u"显示系统级警报", 37},
    {u"android.permission.WRITE_CALENDAR", u"添加或修改日历活动以及向邀请对象发送电子邮件", 38},
    {u"android.permission.WRITE_SETTINGS", u"修改全局系统设置", 39},
    {u"android.permission.WRITE_SMS", u"编辑短信", 40},
    {u"android.permission-group.COST_MONEY", u"需要您付费的服务", 41},
    {u"android.permission.WRITE_CONTACTS", u"写入联系人数据", 42},
};

constexpr const char16_t* kPlatforms[] = {
    u"Android 1.0",   u"Android 1.1",   u"Android 1.5",   u"Android 1.6",   u"Android 2.0",
    u"Android 2.0.1", u"Android 2.1.x", u"Android 2.2.x", u"Android 2.3.0", u"Android 2.3.3",
    u"Android 3.0.x", u"Android 3.1.x", u"Android 3.2",   u"Android 4.0",
};

}  // namespace

std::span<const PermissionRow> PermissionTable() { return kPermissions; }

void AddPermission(std::u16string_view name, CPackageInfo& package, TextSource& texts) {
  for (const PermissionRow& row : kPermissions) {
    if (name != row.name) continue;
    std::u16string description = texts.Load(row.descriptionId);
    if (!description.empty()) package.m_permissions.push_back({row.label, std::move(description)});
    return;
  }
}

std::u16string PlatformName(std::int32_t level) {
  if (level >= 1 && level <= static_cast<std::int32_t>(std::size(kPlatforms))) return kPlatforms[level - 1];
  return u"未知";
}

}  // namespace norvex::sideloader
