#pragma once

class InetControl;
class SmtpControl;
class TransferHub;

// The one owner of libcurl: every transfer of the program runs on it.
TransferHub& ProgramHub();

// The main window's internet transfer control: every quote and history download goes through
// this one instance. Its state-change notification is connected to InetQuotes_StateChanged.
InetControl& InetQuotes();

// The main window's handler of the transfer control's state changes. State 11 (an error
// occurred) marks the current stock failed for the rest of the quote set and logs the control's
// ResponseCode and ResponseInfo; every other state is ignored.
void InetQuotes_StateChanged(int State);

// The main window's mail control: every alert and test mail leaves through this one instance.
SmtpControl& SMTP1();
