// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/StatusHost.h"

#include <limits>

namespace duvanto {

namespace {

// done / total * 100 as a whole number, rounded half to even.
int64_t RoundedPercent(int64_t done, int64_t total) {
    if (done > std::numeric_limits<int64_t>::max() / 100) {
        // Past what done * 100 holds (some 92 PB): a double is near enough.
        return static_cast<int64_t>(static_cast<double>(done) / static_cast<double>(total) * 100.0);
    }
    const int64_t scaled = done * 100;
    int64_t quotient = scaled / total;
    const int64_t twiceRemainder = 2 * (scaled % total);
    if (twiceRemainder > total || (twiceRemainder == total && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

}  // namespace

int ProgressPercent(const RunProgress& progress) {
    if (progress.FilesTotal < 0) {
        return -1;
    }
    int64_t done = progress.OperationsDone;
    int64_t total = progress.OperationsTotal;
    if (progress.BytesTotal > 0) {
        done = progress.BytesDone;
        total = progress.BytesTotal;
    } else if (progress.FilesTotal > 0) {
        done = progress.FilesDone;
        total = progress.FilesTotal;
    }
    if (total <= 0 || done <= 0) {
        return 0;
    }
    if (done >= total) {
        return 100;
    }
    // Rounding must not claim the end while the last bytes are still to come.
    const int64_t percent = RoundedPercent(done, total);
    return static_cast<int>(percent > 99 ? 99 : percent);
}

}  // namespace duvanto
