// Stand-in for the suite's host class: the nine native methods of norvextool and the device
// object the library fills by name.
package com.norvex.zuradu.util;

public final class NativeHelper {
    private NativeHelper() {}

    public static final class NativeDevice {
        public String id;
        public String name;
        public String psn;
        public String available;
    }

    public static native NativeDevice[] getAllDevices();
    public static native NativeDevice[] getUnavailableDevices();
    public static native NativeDevice[] getUsbDevices();
    public static native NativeDevice[] getUnavailableUsbDevices();
    public static native boolean isDeviceAvailable(String device);
    public static native boolean isX64();
    public static native boolean shellExecute(String file, String parameters, String directory, boolean wait);
    public static native String getCurrentLocalAppFolder();
    public static native void installUsbDetector();
}
