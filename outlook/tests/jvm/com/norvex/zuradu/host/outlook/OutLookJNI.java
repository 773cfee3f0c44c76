// Stand-in for the host's class that declares the Outlook bridge's seven native methods.
package com.norvex.zuradu.host.outlook;

import java.util.ArrayList;

public class OutLookJNI {
    static {
        System.loadLibrary("outlook");
    }

    public native boolean OpenOutLook();

    public native boolean CloseOutLook();

    public native ArrayList<?> ReadAllContact();

    public native ArrayList<?> ReadAllAppointment();

    public native boolean InsertContact(Object contact);

    public native boolean InsertAppointment(Object appointment);

    public native boolean RemoveItem(int kind, String entryID);
}
