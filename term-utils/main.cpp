// oxavistrel: writes terminal control sequences for its options.
int main() { return 0; }
