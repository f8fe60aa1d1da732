// Before the windows are made: a data folder of an older format is upgraded
// if the user agrees, with a copy of it made first.
#pragma once

namespace app {

enum class UpgradeAnswer {
    Start, // nothing to upgrade, or upgraded
    Declined, // the user chose to leave
    Failed, // the upgrade failed, its message shown; the folder is as it was
};

// Settles an interrupted upgrade and, for an older folder, asks whether to
// upgrade it now; the program starts only on Start. Anything else wrong
// with the folder is left to the data module to report.
UpgradeAnswer offerFormatUpgrade();

} // namespace app
