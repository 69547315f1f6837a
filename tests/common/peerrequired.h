#pragma once

#include <QtTest>

// The independent peers (socat, mbpoll, pymodbus, xlrd) come with
// scripts/install-deps.sh --dev. Without one, the check it makes would be lost
// while the suite still passed, so a missing peer fails the test.
// VANTREO_ALLOW_MISSING_PEERS=1 makes it a skip, for a machine where a peer
// cannot be had.
#define PEER_MISSING(what)                                                          \
    do {                                                                            \
        if (qEnvironmentVariableIntValue("VANTREO_ALLOW_MISSING_PEERS"))            \
            QSKIP(what);                                                            \
        QFAIL(what " (scripts/install-deps.sh --dev installs it)");                 \
    } while (0)
