#pragma once

#include <QString>

// What a program that runs for weeks might pile up, counted on demand (the
// soak run asks with SIGUSR1): the objects reachable from the application
// object and the top-level windows, the timers they have running and the
// network replies still alive among them (requests in flight). Objects
// without a parent other than windows (a pending single-shot timer) are not
// reached; everything the program keeps is.
namespace RuntimeReport {

struct Counts
{
    int objects = 0;
    int timers = 0;
    int replies = 0;
};

Counts Count();

// "objects=N timers=N replies=N"
QString Line(const Counts& counts);

} // namespace RuntimeReport
