// Counting checks for the JVM tests: a failed check prints a line starting "FAIL ", which
// fails the test, and the summary decides the exit code.
package norvex.jvmtest;

import java.util.Objects;

final class Checks {
    private int passed, failed;

    void check(String what, boolean ok, String detail) {
        if (ok) {
            passed++;
        } else {
            failed++;
            System.out.println("FAIL " + what + ": " + detail);
        }
    }

    void equal(String what, Object actual, Object expected) {
        check(what, Objects.equals(actual, expected), "got <" + actual + ">, expected <" + expected + ">");
    }

    void finish() {
        System.out.println(passed + " passed, " + failed + " failed");
        System.exit(failed == 0 && passed > 0 ? 0 : 1);
    }
}
