// Carries the version record of version_fallback.rc for the version tests.
int main() { return 0; }
