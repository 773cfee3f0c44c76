// ReadAllContact of a large scripted folder through the real JVM, against what a user would
// write in Java for the same job: the same records built by reflection from the same values,
// looked up by property name. Prints time per contact and store calls per contact.
//   args: contacts rounds
package norvex.jvmtest;

import com.norvex.zuradu.entity.outlook.OutLookContact;
import com.norvex.zuradu.host.outlook.OutLookJNI;
import java.lang.reflect.Field;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

public final class OutlookBench {
    private static final String[] TEXTS = {"FullName", "Account", "CompanyName", "Email1Address",
        "BusinessTelephoneNumber", "HomeAddressCity", "JobTitle", "MobileTelephoneNumber", "Body", "FirstName",
        "LastName", "Categories"};

    public static void main(String[] args) throws Exception {
        final int n = Integer.parseInt(args[0]), rounds = Integer.parseInt(args[1]);
        List<Map<String, Object>> data = new ArrayList<>();
        ScriptedOutlook.reset();
        for (int i = 0; i < n; i++) {
            String tag = "c" + i;
            Map<String, Object> values = new HashMap<>();
            ScriptedOutlook.addItem(ScriptedOutlook.CONTACTS, "contact", tag);
            for (String p : TEXTS) {
                String v = p.equals("FullName") ? String.format("Person %06d", n - i) : p + " of contact " + i;
                ScriptedOutlook.setText(tag, p, v);
                values.put(p, v);
            }
            ScriptedOutlook.setText(tag, "EntryID", "00000000A1B2C3D4E5F6" + i);
            values.put("EntryID", "00000000A1B2C3D4E5F6" + i);
            ScriptedOutlook.setDate(tag, "Birthday", 30000 + i);
            values.put("Birthday", 30000.0 + i);
            data.add(values);
        }
        ScriptedOutlook.setRecording(false);
        OutLookJNI jni = new OutLookJNI();
        jni.OpenOutLook();

        int size = 0;
        long calls = 0;
        for (int r = 0; r < 3; r++) size += jni.ReadAllContact().size();  // warm-up
        long nativeNanos = 0;
        for (int r = 0; r < rounds; r++) {
            long before = ScriptedOutlook.callCount();
            long t = System.nanoTime();
            size = jni.ReadAllContact().size();
            nativeNanos += System.nanoTime() - t;
            calls += ScriptedOutlook.callCount() - before;
        }
        if (size != n) throw new AssertionError("read " + size + " of " + n);

        // The Java comparison: every field of the record set by reflection from the value of
        // its property, looked up by name, for every contact (sorted the same way).
        List<Field> fields = new ArrayList<>();
        List<String> propertyOf = new ArrayList<>();
        for (Field f : OutLookContact.class.getDeclaredFields()) {
            if (Modifier.isStatic(f.getModifiers())) continue;
            fields.add(f);
            String name = f.getName();
            propertyOf.add(name.equals("company") ? "CompanyName"
                    : Character.toUpperCase(name.charAt(0)) + name.substring(1));
        }
        long javaNanos = 0;
        for (int r = 0; r < rounds + 3; r++) {
            long t = System.nanoTime();
            List<Map<String, Object>> sorted = new ArrayList<>(data);
            sorted.sort((a, b) -> ((String) a.get("FullName")).compareTo((String) b.get("FullName")));
            ArrayList<OutLookContact> list = new ArrayList<>();
            for (Map<String, Object> values : sorted) {
                OutLookContact c = OutLookContact.class.getDeclaredConstructor().newInstance();
                for (int k = 0; k < fields.size(); k++) {
                    Object v = values.get(propertyOf.get(k));
                    if (v != null) fields.get(k).set(c, v);
                }
                list.add(c);
            }
            if (list.size() != n) throw new AssertionError("built " + list.size());
            if (r >= 3) javaNanos += System.nanoTime() - t;
        }
        double perContact = nativeNanos / (double) rounds / n, javaPerContact = javaNanos / (double) rounds / n;
        System.out.printf("ReadAllContact: %d contacts, %.2f ms per call, %.0f ns per contact%n", n,
                nativeNanos / 1e6 / rounds, perContact);
        System.out.printf("store calls per contact: %.2f%n", calls / (double) rounds / n);
        System.out.printf("same records by Java reflection: %.2f ms per call, %.0f ns per contact%n",
                javaNanos / 1e6 / rounds, javaPerContact);
        System.out.printf("ratio (library / Java reflection): %.2f%n", perContact / javaPerContact);
    }
}
