// Stand-in for the host's appointment record: the item fields and the recurrence fields the
// bridge fills and reads by name.
package com.norvex.zuradu.entity.outlook;

public class OutlookAppointment {
    public boolean allDayEvent;
    public String billingInformation;
    public String body;
    public String categories;
    public String companies;
    public String conversationTopic;
    public double creationTime;
    public long duration;
    public double end;
    public String entryID;
    public int importance;
    public boolean isRecurring;
    public double lastModificationTime;
    public String location;
    public String mileage;
    public String optionalAttendees;
    public String organizer;
    public long reminderMinutesBeforeStart;
    public boolean reminderSet;
    public double replyTime;
    public String requiredAttendees;
    public String resources;
    public boolean responseRequested;
    public int sensitivity;
    public double start;
    public String subject;
    public boolean unRead;
    public int rRecurrenceType;
    public int rDayOfWeekMask;
    public long rDayOfMonth;
    public long rInstance;
    public long rMonthOfYear;
    public long rDuration;
    public double rEndTime;
    public long rInterval;
    public boolean rNoEndDate;
    public long rOccurrences;
    public double rPatternStartDate;
    public double rPatternEndDate;
    public double rStartTime;

    public OutlookAppointment() {
        location = "(nowhere)";
        rMonthOfYear = 13;
    }
}
