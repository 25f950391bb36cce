// Start-up and the frame loop (being written).
int main() { return 0; }
