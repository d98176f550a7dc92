// Program entry: only wires the application together.
int main() { return 0; }
