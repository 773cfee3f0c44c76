// A host class whose device object has no no-argument constructor: the library must answer
// with the JVM's pending NoSuchMethodError, not crash.
package com.norvex.zuradu.util;

public final class NativeHelper {
    private NativeHelper() {}

    public static final class NativeDevice {
        public String id;
        public String name;
        public String psn;
        public String available;

        public NativeDevice(String id) {
            this.id = id;
        }
    }

    public static native NativeDevice[] getAllDevices();
    public static native NativeDevice[] getUsbDevices();
    public static native boolean isDeviceAvailable(String device);
}
