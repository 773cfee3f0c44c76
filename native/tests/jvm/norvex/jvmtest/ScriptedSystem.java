// The test hooks of the host-side test build of norvextool: the device tree and the shell the
// library works on instead of Windows.
package norvex.jvmtest;

final class ScriptedSystem {
    private ScriptedSystem() {}

    /** A device script in the 8-bit bytes the platform would report; null: the set cannot be opened. */
    static native void installTree(byte[] script);

    /** Device sets of the installed tree opened by the library and not released. */
    static native int openDeviceSets();

    /** The shell's answers; a null folder is one that service cannot give. */
    static native void installHost(boolean windows64, byte[] shellFolder, byte[] registryFolder, boolean shellAccepts);

    /** The shell requests since the last call, one line each: how|file|parameters|directory. */
    static native byte[] takeShellCalls();
}
