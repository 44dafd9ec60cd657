// The texts and the command rule of a web link that fails to open: the
// error text for the shell's open code, the whole message of the error box,
// and the browser command line formed from a registered open command.
#pragma once

#include <string>

namespace sh {

// Lead of the error box: "Unable to open hyperlink:\n\n".
extern const char kOpenLinkFailedLead[];

// The error text for a code that the shell's open operation returned
// (0, 2, 3, 5, 8, 11, 26..32 have their own texts; any other code gives
// "Unknown Error (<code>) occurred.").
std::string OpenErrorText(int code);

// The whole text of the error box: the lead followed by OpenErrorText.
std::string OpenLinkFailureMessage(int code);

// The command line that opens `address` with a browser whose registered
// open command is `command`: the command is cut at the first "\"%1\""
// (quote, percent, one, quote), else at the first "%1", else kept whole;
// then a blank and the address are appended.
std::string BrowserCommandLine(const std::string& command, const std::string& address);

}  // namespace sh
