// SPDX-License-Identifier: GPL-3.0-or-later
// Linked with every object of one core library and the libraries below it, and nothing else:
// the link fails when the library calls into a layer above it.
int main() {
    return 0;
}
