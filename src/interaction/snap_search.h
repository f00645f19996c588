#pragma once

struct BrickUnit;

// The pair found by the last successful snap search; never cleared.
extern BrickUnit* snapHeld;
extern BrickUnit* snapTarget;

// Whether two unit rectangles touch or overlap.
bool unitsOverlap(const BrickUnit& a, const BrickUnit& b);

// Whether held unit u can rest on, or hang under, unit t.
bool studsAlign(const BrickUnit& u, const BrickUnit& t);

// Whether some held unit (marked 1) overlaps some free unit (marked 0).
bool groupOverlapsFree(BrickUnit& unit);

// Finds a unit the held group lines up with; on success sets the preview and the
// pending links and returns the target. All marks are 0 afterwards.
BrickUnit* snapSearch(BrickUnit& unit);

// First fit in depth-first order over the held group and World order over free units.
BrickUnit* findSnapPartner(BrickUnit& unit);

// Pairs every held unit with the target group (marked 3) through pending links.
void collectPendingLinks(BrickUnit& unit);
