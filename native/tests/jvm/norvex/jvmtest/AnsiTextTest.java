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

    private static int passed, failed;

    private static void check(String what, boolean ok, String detail) {
        if (ok) {
            passed++;
        } else {
            failed++;
            System.out.println("FAIL " + what + ": " + detail);
        }
    }

    private static void expectBytes(String what, byte[] actual, byte[] expected) {
        check(what, Arrays.equals(actual, expected), Arrays.toString(actual) + " != " + Arrays.toString(expected));
    }

    private static void expectText(String what, String actual, String expected) {
        check(what, expected.equals(actual), "\"" + actual + "\" != \"" + expected + "\"");
    }

    public static void main(String[] args) {
        System.loadLibrary(args[0]);
        Charset codePage = Charset.forName(args[1]);

        String[] holdable = {"", "USB\\VID_1A2B&PID_3C4D\\0123", "华为手机 USB 复合设备", "设备管理器"};
        for (String s : holdable) {
            expectBytes("toAnsi " + s, toAnsi(s), s.getBytes(codePage));
            expectText("fromAnsi " + s, fromAnsi(s.getBytes(codePage)), s);
            expectText("roundTrip " + s, roundTrip(s), s);
        }
        if (codePage.name().equals("GBK")) {
            // Characters GBK cannot hold come back as one '?' each, surrogate pairs included.
            expectBytes("toAnsi unholdable", toAnsi("a\uD83D\uDE00b\u0E01"), "a?b?".getBytes(codePage));
            expectText("roundTrip unholdable", roundTrip("手机\uD83D\uDE00"), "手机?");
            expectText("fromAnsi invalid byte", fromAnsi(new byte[] {'a', (byte) 0xFF, 'b'}), "a\uFFFDb");
        }
        check("null string gives no text", nullGivesNothing(), "JStringToAnsi(null) returned text");

        System.out.println(passed + " passed, " + failed + " failed");
        System.exit(failed == 0 ? 0 : 1);
    }
}
