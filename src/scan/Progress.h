#pragma once

namespace qm::scan {

// A percentage for a progress bar: numerator / denominator x 100 rounded half to even, or -1
// (leave the bar as it is) when the denominator is 0.
int Percent(double numerator, double denominator);

// Scan counters, zeroed when a scan starts.
struct ScanCounters {
    long long processesInspected = 0;
    long long registryInspected = 0;
    long long filesInspected = 0;
    long long itemsFound = 0;
    long long cookiesInspected = 0;
    // Files and folders the walk met but could not name in the code page (nor by a short
    // name): not checked, and a folder not entered.
    long long skipped = 0;
    int throttle = 0;  // throttled progress calls since the last screen refresh
};

}  // namespace qm::scan
