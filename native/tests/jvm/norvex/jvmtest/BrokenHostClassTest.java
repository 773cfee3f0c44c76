// norvextool against a host whose device class is incomplete (arguments: the error the JVM
// must raise, a text its message must hold): the list answers null with that error pending,
// the device set is still released, and what needs no device object keeps working.
package norvex.jvmtest;

import com.norvex.zuradu.util.NativeHelper;
import java.nio.charset.StandardCharsets;

public final class BrokenHostClassTest {
    public static void main(String[] args) {
        System.loadLibrary("norvextool");
        Checks checks = new Checks();
        ScriptedSystem.installTree("USB\\VID_12D1&PID_1038\\1|USB|phone|0|-\n".getBytes(StandardCharsets.US_ASCII));

        Throwable raised = null;
        Object result = "not returned";
        try {
            result = NativeHelper.getAllDevices();
        } catch (Throwable t) {
            raised = t;
        }
        checks.check("the JVM's error is pending", raised != null && raised.getClass().getName().equals(args[0])
                && String.valueOf(raised.getMessage()).contains(args[1]), "got " + raised + ", result " + result);
        checks.equal("set released", ScriptedSystem.openDeviceSets(), 0);

        ScriptedSystem.installTree("ROOT\\A\\0|System|a|0|-\n".getBytes(StandardCharsets.US_ASCII));
        checks.equal("no USB device: null without looking the class up", NativeHelper.getUsbDevices(), null);
        checks.equal("presence needs no device object", NativeHelper.isDeviceAvailable("ROOT\\A"), true);
        checks.finish();
    }
}
