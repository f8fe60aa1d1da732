// Before the windows are made: a data folder of an older format is upgraded
// if the user agrees, with a copy of it made first.
#pragma once

namespace app {

// Settles an interrupted upgrade and, for an older folder, asks whether to
// upgrade it now. False when the program should end instead of starting:
// the user said no, or the upgrade failed (its message has been shown).
// Anything else wrong with the folder is left to the data module to report.
bool offerFormatUpgrade();

} // namespace app
