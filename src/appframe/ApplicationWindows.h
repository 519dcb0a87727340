#pragma once

// The program's windows taken together as the one application the user sees on the task
// bar: parked off the task bar and brought back as a whole.
namespace appframe {

// Takes the program off the task bar by hiding its visible windows, which are
// remembered. A modal dialog that is up stays, since hiding it would close it.
void HideApplication();

// Shows the remembered windows again (and any minimised window) in their normal state;
// the first one that was minimised comes to the front.
void RestoreApplication();

// Whether windows are parked by HideApplication.
bool ApplicationHidden();

} // namespace appframe
