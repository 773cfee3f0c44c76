// Round-trips host strings through the library's ANSI conversions in a real JVM. The expected
// bytes come from Java's own charset of the same name, an oracle independent of our code.
package norvex.jvmtest;

import java.nio.charset.Charset;
import java.util.Arrays;

public final class AnsiTextTest {
    static native byte[] toAnsi(String text);
    static native String fromAnsi(byte[] ansi);
    static native String roundTrip(String text);
    static native boolean nullGivesNothing();

    private static final Checks checks = new Checks();

    private static void expectBytes(String what, byte[] actual, byte[] expected) {
        checks.check(what, Arrays.equals(actual, expected), Arrays.toString(actual) + " != " + Arrays.toString(expected));
    }

    public static void main(String[] args) {
        System.loadLibrary(args[0]);
        Charset codePage = Charset.forName(args[1]);

        String[] holdable = {"", "USB\\VID_1A2B&PID_3C4D\\0123", "华为手机 USB 复合设备", "设备管理器"};
        for (String s : holdable) {
            expectBytes("toAnsi " + s, toAnsi(s), s.getBytes(codePage));
            checks.equal("fromAnsi " + s, fromAnsi(s.getBytes(codePage)), s);
            checks.equal("roundTrip " + s, roundTrip(s), s);
        }
        if (codePage.name().equals("GBK")) {
            // Characters GBK cannot hold come back as one '?' each, surrogate pairs included.
            expectBytes("toAnsi unholdable", toAnsi("a\uD83D\uDE00b\u0E01"), "a?b?".getBytes(codePage));
            checks.equal("roundTrip unholdable", roundTrip("手机\uD83D\uDE00"), "手机?");
            checks.equal("fromAnsi invalid byte", fromAnsi(new byte[] {'a', (byte) 0xFF, 'b'}), "a\uFFFDb");
        }
        checks.check("null string gives no text", nullGivesNothing(), "JStringToAnsi(null) returned text");
        checks.finish();
    }
}
