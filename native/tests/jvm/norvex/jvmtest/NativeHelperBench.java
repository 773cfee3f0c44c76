// getAllDevices over a scripted tree (arguments: device count, timed calls, and "nodesc" for
// devices without descriptions, which skips the code-page conversion): time per call and
// per device, bytes allocated per call, heap kept by one result, collections during the run,
// against building the same objects in Java from the same 8-bit texts.
package norvex.jvmtest;

import com.norvex.zuradu.util.NativeHelper;
import com.norvex.zuradu.util.NativeHelper.NativeDevice;
import java.lang.management.GarbageCollectorMXBean;
import java.lang.management.ManagementFactory;
import java.nio.charset.Charset;

public final class NativeHelperBench {
    private static long collections() {
        long n = 0;
        for (GarbageCollectorMXBean gc : ManagementFactory.getGarbageCollectorMXBeans()) n += gc.getCollectionCount();
        return n;
    }

    private static long usedAfterGc() {
        Runtime rt = Runtime.getRuntime();
        for (int i = 0; i < 3; i++) System.gc();
        return rt.totalMemory() - rt.freeMemory();
    }

    private static long allocated() {
        return ((com.sun.management.ThreadMXBean) ManagementFactory.getThreadMXBean()).getCurrentThreadAllocatedBytes();
    }

    // The pure-Java equivalent: decode the same 8-bit texts and fill the same objects.
    private static NativeDevice[] inJava(byte[][][] texts, Charset codePage) {
        NativeDevice[] devices = new NativeDevice[texts.length];
        for (int i = 0; i < texts.length; i++) {
            NativeDevice d = new NativeDevice();
            d.id = new String(texts[i][0], codePage);
            d.name = new String(texts[i][1], codePage);
            d.psn = new String(texts[i][2], codePage);
            d.available = new String(texts[i][3], codePage);
            devices[i] = d;
        }
        return devices;
    }

    public static void main(String[] args) {
        System.loadLibrary("norvextool");
        int count = Integer.parseInt(args[0]);
        int calls = Integer.parseInt(args[1]);
        boolean descriptions = args.length < 3 || !args[2].equals("nodesc");
        Charset codePage = Charset.defaultCharset();
        StringBuilder script = new StringBuilder();
        byte[][][] texts = new byte[count][][];
        for (int i = 0; i < count; i++) {
            String id = String.format("USB\\VID_%04X&PID_%04X\\%016X", i & 0xFFFF, i >> 4, 0x1234567890L * i);
            String name = descriptions ? "Android Composite ADB Interface " + i : "";
            String parent = String.format("USB\\VID_%04X&PID_%04X\\SER%d", i & 0xFFFF, i >> 4, i);
            // Two of three devices work; the third has its driver's problem flag set.
            boolean available = i % 3 != 0;
            script.append(id).append("|AndroidUsbDeviceClass|").append(name)
                  .append(available ? "|0x0180000A|" : "|0x01802400|").append(parent).append('\n');
            texts[i] = new byte[][] {id.getBytes(codePage), name.getBytes(codePage),
                                     ("SER" + i).getBytes(codePage), (available ? "TRUE" : "FALSE").getBytes(codePage)};
        }
        ScriptedSystem.installTree(script.toString().getBytes(codePage));

        NativeDevice[] first = NativeHelper.getAllDevices();
        if (first == null || first.length != count || !first[count - 1].psn.equals("SER" + (count - 1))) {
            System.out.println("FAIL the list is wrong");
            System.exit(1);
        }
        for (int i = 0; i < 30; i++) NativeHelper.getAllDevices();
        for (int i = 0; i < 30; i++) inJava(texts, codePage);

        long gcBefore = collections(), bytesBefore = allocated(), t0 = System.nanoTime();
        for (int i = 0; i < calls; i++) NativeHelper.getAllDevices();
        long nativeNanos = (System.nanoTime() - t0) / calls;
        long nativeBytes = (allocated() - bytesBefore) / calls, nativeGcs = collections() - gcBefore;

        bytesBefore = allocated();
        t0 = System.nanoTime();
        for (int i = 0; i < calls; i++) inJava(texts, codePage);
        long javaNanos = (System.nanoTime() - t0) / calls;
        long javaBytes = (allocated() - bytesBefore) / calls;

        first = null;
        long base = usedAfterGc();
        NativeDevice[] kept = NativeHelper.getAllDevices();
        long retained = usedAfterGc() - base;

        System.out.printf("devices per call: %d, timed calls: %d%n", count, calls);
        System.out.printf("getAllDevices: %.2f ms per call, %.2f us per device%n", nativeNanos / 1e6, nativeNanos / 1e3 / count);
        System.out.printf("same objects built in Java: %.2f ms per call, %.2f us per device%n", javaNanos / 1e6, javaNanos / 1e3 / count);
        System.out.printf("ratio getAllDevices / Java: %.2f%n", (double) nativeNanos / javaNanos);
        System.out.printf("allocated per call: %.2f MiB (%d bytes per device); Java: %.2f MiB%n",
                nativeBytes / 1048576.0, nativeBytes / count, javaBytes / 1048576.0);
        System.out.printf("collections during %d calls: %d%n", calls, nativeGcs);
        System.out.printf("heap kept by one result: %.2f MiB (%d bytes per device); %d devices%n",
                retained / 1048576.0, retained / count, kept.length);
    }
}
