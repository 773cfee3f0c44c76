// The scripted Outlook behind the host-side test build of the outlook library: folders of
// items with properties ("pattern.Name" for an appointment's recurrence pattern), injected
// failures, a call that can be held while the test acts, and the record of the calls.
package norvex.jvmtest;

final class ScriptedOutlook {
    static final int CALENDAR = 9, CONTACTS = 10;
    static final int E_OUTOFMEMORY = 0x8007000E;

    static {
        System.loadLibrary("outlook");
    }

    private ScriptedOutlook() {}

    static native void reset();

    // kind: "contact", "appointment" or "distlist"
    static native void addItem(int folder, String kind, String tag);

    static native void setText(String tag, String property, String value);

    static native void setLong(String tag, String property, int value);

    static native void setFlag(String tag, String property, short value);

    static native void setDate(String tag, String property, double value);

    // tag "" for any object; nth 0 for every call from now on.
    static native void fail(String tag, String member, int nth, int code);

    static native void holdAt(String member, int nth);

    static native void waitUntilHeld();

    static native void resume();

    static native void setRecording(boolean on);

    static native long callCount();

    static native String takeCalls();

    static native String folder(int folder);

    static native String property(String tag, String property);

    static native int saves(String tag);

    static native int liveApplications();
}
