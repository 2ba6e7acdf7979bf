#include <cstdio>
int main() { std::puts("zorvik-cli"); }
