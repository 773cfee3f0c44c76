// The norvextool entry points in a real JVM over scripted device trees and a recording shell:
// what the host receives for each list, the presence test, the texts through the ANSI code
// page (argument: the code page's charset), a tree of 10 000 devices, calls from several
// threads at once, and the shell services.
package norvex.jvmtest;

import com.norvex.zuradu.util.NativeHelper;
import com.norvex.zuradu.util.NativeHelper.NativeDevice;
import java.nio.charset.Charset;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;

public final class NativeHelperTest {
    private static final Checks checks = new Checks();
    private static Charset codePage;

    // A phone without its ADB driver beside working devices; Chinese descriptions, and one
    // phone whose serial (and so its identifier) holds Chinese characters.
    private static final String TREE = String.join("\n",
            "ACPI\\PNP0A03\\0|System|PCI 总线|0x0180200A|HTREE\\ROOT\\0",
            "USB\\VID_12D1&PID_1038\\0123456789ABCDEF|-|-|0|USB\\ROOT_HUB20\\4&2A5C&0",
            "USB\\VID_12D1&PID_1038&MI_01\\6&1|AndroidUsbDeviceClass|华为手机 ADB 接口|0x01802400|USB\\VID_12D1&PID_1038\\0123456789ABCDEF",
            "USB\\VID_12D1&PID_1038&MI_00\\6&2|WPD|华为手机 MTP|-|USB\\VID_12D1&PID_1038\\0123456789ABCDEF",
            "USB\\ROOT_HUB20\\4&2A5C&0|USB||0x0180000A|-",
            "USB\\VID_2717&PID_FF48&MI_00\\序列号7|USB|小米手机|0|USB\\VID_2717&PID_FF48\\序列号7");
    private static final String PCI = "ACPI\\PNP0A03\\0|PCI 总线|0|";
    private static final String PHONE = "USB\\VID_12D1&PID_1038\\0123456789ABCDEF||4&2A5C&0|";
    private static final String ADB = "USB\\VID_12D1&PID_1038&MI_01\\6&1|华为手机 ADB 接口|0123456789ABCDEF|";
    private static final String MTP = "USB\\VID_12D1&PID_1038&MI_00\\6&2|华为手机 MTP|0123456789ABCDEF|";
    private static final String HUB = "USB\\ROOT_HUB20\\4&2A5C&0|||";
    private static final String MI = "USB\\VID_2717&PID_FF48&MI_00\\序列号7|小米手机|序列号7|";

    private static void installTree(String script) {
        ScriptedSystem.installTree(script == null ? null : script.getBytes(codePage));
    }

    private static byte[] ansi(String text) {
        return text == null ? null : text.getBytes(codePage);
    }

    private static List<String> shown(NativeDevice[] devices) {
        if (devices == null) return null;
        List<String> shown = new ArrayList<>();
        for (NativeDevice d : devices) shown.add(d.id + "|" + d.name + "|" + d.psn + "|" + d.available);
        return shown;
    }

    private static void lists() {
        installTree(TREE);
        checks.equal("getAllDevices", shown(NativeHelper.getAllDevices()),
                List.of(PCI + "TRUE", PHONE + "FALSE", ADB + "FALSE", MTP + "TRUE", HUB + "TRUE", MI + "TRUE"));
        checks.equal("getUnavailableDevices", shown(NativeHelper.getUnavailableDevices()),
                List.of(PHONE + "FALSE", ADB + "FALSE"));
        checks.equal("getUsbDevices", shown(NativeHelper.getUsbDevices()),
                List.of(PHONE + "FALSE", ADB + "FALSE", MTP + "TRUE", MI + "TRUE"));
        checks.equal("getUnavailableUsbDevices", shown(NativeHelper.getUnavailableUsbDevices()),
                List.of(PHONE + "FALSE", ADB + "FALSE"));
        checks.equal("sets released after the lists", ScriptedSystem.openDeviceSets(), 0);
    }

    private static void nullNeverEmpty() {
        String[][] trees = {
            {"empty tree", ""},
            {"set cannot be opened", null},
            {"only working non-USB devices", "ROOT\\A\\0|System|a|0|-\nACPI\\B\\0|System|b|0|-"},
        };
        for (String[] t : trees) {
            installTree(t[1]);
            boolean anyDevice = t[0].startsWith("only");
            checks.equal(t[0] + ": getUnavailableDevices", NativeHelper.getUnavailableDevices(), null);
            checks.equal(t[0] + ": getUsbDevices", NativeHelper.getUsbDevices(), null);
            checks.equal(t[0] + ": getUnavailableUsbDevices", NativeHelper.getUnavailableUsbDevices(), null);
            checks.equal(t[0] + ": getAllDevices is null", NativeHelper.getAllDevices() == null, !anyDevice);
            checks.equal(t[0] + ": isDeviceAvailable(\"\")", NativeHelper.isDeviceAvailable(""), anyDevice);
        }
    }

    private static void presence() {
        installTree(TREE);
        Object[][] cases = {
            {"", true},
            {"USB\\VID_12D1&PID_1038&MI_00\\6&2", true},   // status unreadable: available
            {"USB\\VID_12D1&PID_1038&MI_01\\6&1", false},  // problem flag
            {"USB\\VID_12D1&PID_1038\\0123456789ABCDEF", false},  // no class
            {"usb\\vid", false},
            {"USB\\VID_2717&PID_FF48&MI_00\\序列号7", true},  // converted to the same ANSI bytes
            {"ACPI\\PNP0A03\\0\\", false},
        };
        for (Object[] c : cases) checks.equal("isDeviceAvailable(" + c[0] + ")", NativeHelper.isDeviceAvailable((String) c[0]), c[1]);
        checks.equal("isDeviceAvailable(null)", NativeHelper.isDeviceAvailable(null), false);
        installTree("ROOT\\A\\0|-|a|0|-\nROOT\\B\\0|System|b|0x400|-");
        checks.equal("isDeviceAvailable(\"\") without an available device", NativeHelper.isDeviceAvailable(""), false);
        checks.equal("sets released after the presence tests", ScriptedSystem.openDeviceSets(), 0);
    }

    private static void largeTree() {
        final int count = 10_000;
        StringBuilder script = new StringBuilder();
        for (int i = 0; i < count; i++) {
            script.append(String.format("USB\\VID_%04X&PID_0001\\SER%05d|%s|设备 %d|0|USB\\ROOT_HUB30\\%d\n",
                    i, i, i % 2 == 0 ? "USB" : "-", i, i / 100));
        }
        installTree(script.toString());
        NativeDevice[] all = NativeHelper.getAllDevices();
        checks.equal("10 000 devices", all == null ? -1 : all.length, count);
        if (all != null && all.length == count) {
            for (int i : new int[] {0, 1, 4999, 9998, 9999}) {
                String expected = String.format("USB\\VID_%04X&PID_0001\\SER%05d|设备 %d|%d|%s", i, i, i, i / 100,
                        i % 2 == 0 ? "TRUE" : "FALSE");
                checks.equal("device " + i + " of 10 000", shown(new NativeDevice[] {all[i]}).get(0), expected);
            }
        }
        NativeDevice[] unavailable = NativeHelper.getUnavailableUsbDevices();
        checks.equal("5 000 unavailable", unavailable == null ? -1 : unavailable.length, count / 2);
        checks.check("all of them FALSE", unavailable != null
                && Arrays.stream(unavailable).allMatch(d -> d.available.equals("FALSE")), "a TRUE among them");
    }

    private static void concurrentCalls() throws Exception {
        installTree(TREE);
        List<String> expected = shown(NativeHelper.getAllDevices());
        ExecutorService pool = Executors.newFixedThreadPool(4);
        List<Future<Boolean>> results = new ArrayList<>();
        for (int t = 0; t < 4; t++) {
            results.add(pool.submit(() -> {
                for (int i = 0; i < 50; i++) {
                    if (!expected.equals(shown(NativeHelper.getAllDevices()))) return false;
                    if (NativeHelper.isDeviceAvailable("USB\\VID_12D1&PID_1038&MI_01")) return false;
                }
                return true;
            }));
        }
        boolean allSame = true;
        for (Future<Boolean> r : results) allSame &= r.get();
        pool.shutdown();
        checks.check("four threads at once see the same lists", allSame, "a thread saw a different answer");
        checks.equal("sets released after the threads", ScriptedSystem.openDeviceSets(), 0);
    }

    private static String shellCalls() {
        return new String(ScriptedSystem.takeShellCalls(), codePage);
    }

    private static void hostUtilities() {
        ScriptedSystem.installHost(true, ansi("C:\\Users\\李雷\\AppData\\Local"), ansi("D:\\other"), true);
        checks.equal("isX64 true", NativeHelper.isX64(), true);
        checks.equal("folder from the shell", NativeHelper.getCurrentLocalAppFolder(), "C:\\Users\\李雷\\AppData\\Local");

        checks.equal("null file, waiting", NativeHelper.shellExecute(null, "-x", "C:\\", true), false);
        checks.equal("null file, not waiting", NativeHelper.shellExecute(null, null, null, false), false);
        checks.equal("null file asks no shell", shellCalls(), "");
        checks.equal("start and wait", NativeHelper.shellExecute("C:\\程序\\app.exe", null, null, true), true);
        checks.equal("start", NativeHelper.shellExecute("C:\\a.exe", "-p \"文件 1\"", "C:\\工作", false), true);
        checks.equal("what the shell was asked", shellCalls(),
                "wait|C:\\程序\\app.exe|<none>|<none>\nopen|C:\\a.exe|-p \"文件 1\"|C:\\工作\n");
        for (int i = 0; i < 3; i++) NativeHelper.installUsbDetector();
        checks.equal("installUsbDetector asks nothing", shellCalls(), "");

        ScriptedSystem.installHost(false, null, ansi("D:\\用户\\Local"), false);
        checks.equal("isX64 false", NativeHelper.isX64(), false);
        checks.equal("folder from the registry", NativeHelper.getCurrentLocalAppFolder(), "D:\\用户\\Local");
        checks.equal("refused start", NativeHelper.shellExecute("C:\\missing.exe", null, null, false), false);
        checks.equal("refused start and wait", NativeHelper.shellExecute("C:\\missing.exe", null, null, true), false);
        ScriptedSystem.installHost(false, null, ansi(""), true);
        checks.equal("empty registry value", NativeHelper.getCurrentLocalAppFolder(), "");
        ScriptedSystem.installHost(false, null, null, true);
        checks.equal("no folder anywhere", NativeHelper.getCurrentLocalAppFolder(), "");
    }

    public static void main(String[] args) throws Exception {
        System.loadLibrary("norvextool");
        codePage = Charset.forName(args[0]);
        lists();
        nullNeverEmpty();
        presence();
        largeTree();
        concurrentCalls();
        hostUtilities();
        checks.finish();
    }
}
