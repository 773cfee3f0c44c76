// A host class whose device object lacks the "psn" field: the library must answer with the
// JVM's pending NoSuchFieldError, not crash.
package com.norvex.zuradu.util;

public final class NativeHelper {
    private NativeHelper() {}

    public static final class NativeDevice {
        public String id;
        public String name;
        public String available;
    }

    public static native NativeDevice[] getAllDevices();
    public static native NativeDevice[] getUsbDevices();
    public static native boolean isDeviceAvailable(String device);
}
