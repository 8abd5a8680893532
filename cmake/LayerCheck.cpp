// Linked with every object of one core library and the libraries below it, and nothing else:
// the link fails when the library calls into a layer above it.
int main() {
    return 0;
}
