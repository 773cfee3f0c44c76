// The outlook library in a real JVM over the scripted store, through the host's classes:
// sorted reads, the conversions as Java sees them, inserts and removals with the host's
// exception texts, a close from a second thread, and a large folder under -Xcheck:jni.
package norvex.jvmtest;

import com.norvex.zuradu.entity.outlook.OutLookContact;
import com.norvex.zuradu.entity.outlook.OutlookAppointment;
import com.norvex.zuradu.host.outlook.OutLookJNI;
import java.util.ArrayList;
import java.util.List;

public final class OutlookTest {
    private static final Checks checks = new Checks();
    private static final OutLookJNI jni = new OutLookJNI();

    public static void main(String[] args) throws Exception {
        beforeAnyOpen();
        contactsInAscendingFullName();
        appointmentsInDescendingStart();
        inserts();
        removals();
        closeFromASecondThread();
        aLargeFolder();
        failedCreation();
        checks.finish();
    }

    // A native call, and what it answered or threw.
    interface Call {
        Object run();
    }

    static final class Outcome {
        Object result;
        Throwable thrown;
    }

    static Outcome call(Call c) {
        Outcome o = new Outcome();
        try {
            o.result = c.run();
        } catch (Throwable t) {
            o.thrown = t;
        }
        return o;
    }

    // A call that answered false, with the host's exception of this text pending (null: none).
    static void expectFalse(String what, Outcome o, String message) {
        if (message == null) {
            checks.equal(what + ": false", o.result, Boolean.FALSE);
            checks.check(what + ": nothing thrown", o.thrown == null, String.valueOf(o.thrown));
        } else {
            checks.check(what + ": a RuntimeException", o.thrown != null && o.thrown.getClass() == RuntimeException.class,
                    String.valueOf(o.thrown));
            checks.equal(what + ": message", o.thrown == null ? null : o.thrown.getMessage(), message);
        }
    }

    static void contact(String tag, String fullName) {
        ScriptedOutlook.addItem(ScriptedOutlook.CONTACTS, "contact", tag);
        ScriptedOutlook.setText(tag, "FullName", fullName);
        ScriptedOutlook.setText(tag, "EntryID", "ID-" + tag);
    }

    static void beforeAnyOpen() {
        ScriptedOutlook.reset();
        contact("c1", "Ann");
        Outcome read = call(() -> jni.ReadAllContact());
        checks.check("read before open: no exception", read.thrown == null, String.valueOf(read.thrown));
        checks.equal("read before open: empty list", read.result == null ? -1 : ((List<?>) read.result).size(), 0);
        expectFalse("insert before open", call(() -> jni.InsertContact(new OutLookContact())), "Contact Insert Error!");
        expectFalse("remove before open", call(() -> jni.RemoveItem(1, "ID-c1")), null);
        checks.equal("no call reached the store", ScriptedOutlook.callCount(), 0L);
    }

    static void contactsInAscendingFullName() {
        ScriptedOutlook.reset();
        checks.equal("open", jni.OpenOutLook(), true);
        contact("c1", "Carol");
        ScriptedOutlook.addItem(ScriptedOutlook.CONTACTS, "distlist", "d1");
        ScriptedOutlook.setText("d1", "FullName", "Aaron's list");
        contact("c2", "Alice");
        contact("c3", "Bob");
        ScriptedOutlook.setText("c3", "CompanyName", "Acme");
        ScriptedOutlook.setText("c2", "Body", "ab\0cd");
        ScriptedOutlook.setLong("c2", "Gender", -1);
        ScriptedOutlook.setFlag("c2", "HasPicture", (short) 1);
        double date = Math.nextUp(45123.75);
        ScriptedOutlook.setDate("c2", "Anniversary", date);
        ScriptedOutlook.setText("c2", "ReferredBy", "Dora");
        ScriptedOutlook.setText("c2", "TTYTDDTelephoneNumber", "555");
        ArrayList<?> list = jni.ReadAllContact();
        checks.equal("contacts: class", list.getClass(), ArrayList.class);
        List<String> names = new ArrayList<>();
        for (Object o : list) names.add(((OutLookContact) o).fullName);
        checks.equal("contacts: ascending full name, no list", names, List.of("Alice", "Bob", "Carol"));
        OutLookContact alice = (OutLookContact) list.get(0), bob = (OutLookContact) list.get(1);
        checks.equal("empty company keeps the constructor's value", alice.company, "(no company)");
        checks.equal("company from CompanyName", bob.company, "Acme");
        checks.equal("an absent text stays null", alice.account, null);
        checks.equal("text cut at NUL", alice.body, "ab");
        checks.equal("int -1", alice.gender, -1);
        checks.equal("an int Outlook left unset is 0", bob.gender, 0);
        checks.equal("flag 1 is not true", alice.haspicture, false);
        checks.check("date to the last bit", Double.doubleToRawLongBits(alice.anniversary) == Double.doubleToRawLongBits(date),
                alice.anniversary + " vs " + date);
        checks.equal("refferedby from ReferredBy", alice.refferedby, "Dora");
        checks.equal("tTYTDDTelephoneNumber", alice.tTYTDDTelephoneNumber, "555");
        checks.equal("entryID", alice.entryID, "ID-c2");
    }

    static void appointment(String tag, double start) {
        ScriptedOutlook.addItem(ScriptedOutlook.CALENDAR, "appointment", tag);
        ScriptedOutlook.setDate(tag, "Start", start);
        ScriptedOutlook.setText(tag, "EntryID", "ID-" + tag);
    }

    static void appointmentsInDescendingStart() {
        ScriptedOutlook.reset();
        appointment("a1", 45000.5);
        appointment("a2", 45002.5);
        appointment("a3", 45001.5);
        ScriptedOutlook.setLong("a3", "ReminderMinutesBeforeStart", -1);
        ScriptedOutlook.setLong("a3", "Duration", 90);
        ScriptedOutlook.setFlag("a3", "IsRecurring", (short) -1);
        ScriptedOutlook.setLong("a3", "pattern.RecurrenceType", 1);
        ScriptedOutlook.setLong("a3", "pattern.DayOfWeekMask", 42);
        ScriptedOutlook.setLong("a3", "pattern.DayOfMonth", 9);
        ScriptedOutlook.setLong("a3", "pattern.Occurrences", -1);
        ArrayList<?> list = jni.ReadAllAppointment();
        List<Double> starts = new ArrayList<>();
        for (Object o : list) starts.add(((OutlookAppointment) o).start);
        checks.equal("appointments: descending start", starts, List.of(45002.5, 45001.5, 45000.5));
        OutlookAppointment weekly = (OutlookAppointment) list.get(1), single = (OutlookAppointment) list.get(0);
        checks.equal("long -1 stays -1", weekly.reminderMinutesBeforeStart, -1L);
        checks.equal("duration", weekly.duration, 90L);
        checks.equal("recurring", weekly.isRecurring, true);
        checks.equal("weekly: mask", weekly.rDayOfWeekMask, 42);
        checks.equal("weekly: no day of month", weekly.rDayOfMonth, 0L);
        checks.equal("weekly: month keeps the constructor's value", weekly.rMonthOfYear, 13L);
        checks.equal("occurrences -1 in a long", weekly.rOccurrences, -1L);
        checks.equal("single: no recurrence type", single.rRecurrenceType, 0);
        checks.equal("single: location keeps the constructor's value", single.location, "(nowhere)");
    }

    static void inserts() {
        ScriptedOutlook.reset();
        OutLookContact c = new OutLookContact();
        c.fullName = "Eve Stone";
        c.body = "";   // clears the property, as null does
        c.entryID = "host's own";
        c.sensitivity = 2;
        checks.equal("insert contact", jni.InsertContact(c), true);
        String tag = ScriptedOutlook.folder(ScriptedOutlook.CONTACTS).trim();
        checks.equal("contact stored", tag.isEmpty(), false);
        checks.equal("full name put", ScriptedOutlook.property(tag, "FullName"), "Text:Eve Stone");
        checks.equal("null text put as empty", ScriptedOutlook.property(tag, "Account"), "Text:");
        checks.equal("empty text put as empty", ScriptedOutlook.property(tag, "Body"), "Text:");
        checks.equal("company put", ScriptedOutlook.property(tag, "CompanyName"), "Text:(no company)");
        checks.equal("int put", ScriptedOutlook.property(tag, "Sensitivity"), "Long:2");
        checks.equal("entry identifier is Outlook's", ScriptedOutlook.property(tag, "EntryID"), "Text:ID-" + tag);
        checks.equal("saved once", ScriptedOutlook.saves(tag), 1);

        OutlookAppointment a = new OutlookAppointment();
        a.start = 45010.25;
        a.end = 45010.5;
        a.reminderMinutesBeforeStart = (1L << 32) + 5;
        a.isRecurring = true;
        a.rRecurrenceType = 6;
        a.rInstance = -1;
        a.rNoEndDate = true;
        a.reminderSet = true;
        checks.equal("insert appointment", jni.InsertAppointment(a), true);
        tag = ScriptedOutlook.folder(ScriptedOutlook.CALENDAR).trim();
        checks.equal("2^32 + 5 written as 5", ScriptedOutlook.property(tag, "ReminderMinutesBeforeStart"), "Long:5");
        checks.equal("-1 written as -1", ScriptedOutlook.property(tag, "pattern.Instance"), "Long:-1");
        checks.equal("year-nth: no month", ScriptedOutlook.property(tag, "pattern.MonthOfYear"), "Missing");
        checks.equal("no end date: no occurrences", ScriptedOutlook.property(tag, "pattern.Occurrences"), "Missing");
        checks.equal("true written as -1", ScriptedOutlook.property(tag, "ReminderSet"), "Flag:-1");
        checks.equal("recurring: saved twice", ScriptedOutlook.saves(tag), 2);

        ScriptedOutlook.fail("", "Add", 1, ScriptedOutlook.E_OUTOFMEMORY);
        expectFalse("contact insert fails", call(() -> jni.InsertContact(new OutLookContact())),
                "Contact Insert Error!");
        ScriptedOutlook.fail("", "Save", 2, ScriptedOutlook.E_OUTOFMEMORY);
        expectFalse("series whose final save fails", call(() -> jni.InsertAppointment(a)),
                "Appointment Insert Error!");
        expectFalse("null contact", call(() -> jni.InsertContact(null)), "Contact Insert Error!");
    }

    static void removals() {
        ScriptedOutlook.reset();
        ScriptedOutlook.addItem(ScriptedOutlook.CONTACTS, "distlist", "d1");
        contact("c1", "Ann");
        contact("c2", "Ben");
        appointment("a1", 45000);
        checks.equal("remove a contact after a list", jni.RemoveItem(1, "ID-c2"), true);
        checks.equal("contacts left", ScriptedOutlook.folder(ScriptedOutlook.CONTACTS), "d1\nc1\n");
        checks.equal("a contact's identifier among appointments", jni.RemoveItem(2, "ID-c1"), false);
        ScriptedOutlook.takeCalls();
        checks.equal("kind 3", jni.RemoveItem(3, "ID-c1"), false);
        checks.equal("null identifier", jni.RemoveItem(1, null), false);
        checks.equal("empty identifier", jni.RemoveItem(1, ""), false);
        checks.equal("kind 3, null and empty touch nothing", ScriptedOutlook.takeCalls(), "");
        ScriptedOutlook.fail("", "Delete", 1, ScriptedOutlook.E_OUTOFMEMORY);
        expectFalse("contact delete fails", call(() -> jni.RemoveItem(1, "ID-c1")), "Contact Delete Error!");
        ScriptedOutlook.fail("", "Delete", 1, ScriptedOutlook.E_OUTOFMEMORY);
        expectFalse("calendar delete fails", call(() -> jni.RemoveItem(2, "ID-a1")),
                "Calendar Item Delete Error!");
        ScriptedOutlook.fail("", "EntryID", 1, ScriptedOutlook.E_OUTOFMEMORY);
        expectFalse("identifier unreadable", call(() -> jni.RemoveItem(1, "ID-c1")), null);
        checks.equal("all still there", ScriptedOutlook.folder(ScriptedOutlook.CONTACTS), "d1\nc1\n");
    }

    static void closeFromASecondThread() throws Exception {
        ScriptedOutlook.reset();
        for (int i = 0; i < 500; i++) contact(String.format("c%04d", i), String.format("Name %04d", i));
        jni.OpenOutLook();
        ScriptedOutlook.holdAt("GetNext", 40);
        final ArrayList<?>[] read = new ArrayList<?>[1];
        Thread reader = new Thread(() -> read[0] = jni.ReadAllContact());
        reader.start();
        ScriptedOutlook.waitUntilHeld();
        Thread closer = new Thread(() -> jni.CloseOutLook());
        closer.start();
        closer.join();
        ScriptedOutlook.resume();
        reader.join();
        checks.equal("a close stops the read before the next item", read[0].size(), 40);
        checks.equal("the last record read", ((OutLookContact) read[0].get(39)).fullName, "Name 0039");
        checks.equal("the application is still held", ScriptedOutlook.liveApplications(), 1);
        checks.equal("the closed session reads nothing", jni.ReadAllContact().size(), 0);
        jni.OpenOutLook();
        checks.equal("reopened", jni.ReadAllContact().size(), 500);
        checks.equal("the previous application released", ScriptedOutlook.liveApplications(), 1);
    }

    static void aLargeFolder() {
        ScriptedOutlook.reset();
        final int n = 10000;
        String[] properties = {"Account", "CompanyName", "Email1Address", "BusinessTelephoneNumber", "HomeAddressCity",
            "JobTitle", "MobileTelephoneNumber", "Body"};
        for (int i = 0; i < n; i++) {
            String tag = "c" + i;
            contact(tag, String.format("Person %05d", n - i));
            for (String p : properties) ScriptedOutlook.setText(tag, p, p + " " + i);
            ScriptedOutlook.setDate(tag, "Birthday", 30000 + i);
        }
        ScriptedOutlook.setRecording(false);
        ArrayList<?> list = jni.ReadAllContact();
        ScriptedOutlook.setRecording(true);
        checks.equal("10 000 contacts", list.size(), n);
        OutLookContact first = (OutLookContact) list.get(0), last = (OutLookContact) list.get(n - 1);
        checks.equal("first", first.fullName, "Person 00001");
        checks.equal("first's mobile", first.mobileTelephoneNumber, "MobileTelephoneNumber " + (n - 1));
        checks.equal("last's birthday", last.birthday, 30000.0);
        checks.equal("last's identifier", last.entryID, "ID-c0");
    }

    static void failedCreation() {
        ScriptedOutlook.reset();
        contact("c1", "Ann");
        ScriptedOutlook.fail("", "CreateApplication", 1, ScriptedOutlook.E_OUTOFMEMORY);
        checks.equal("open still answers true", jni.OpenOutLook(), true);
        checks.equal("nothing to read", jni.ReadAllContact().size(), 0);
        expectFalse("nothing to insert into", call(() -> jni.InsertAppointment(new OutlookAppointment())),
                "Appointment Insert Error!");
        checks.equal("close answers true", jni.CloseOutLook(), true);
    }
}
