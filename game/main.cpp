#include "game/core/WinMain.h"

int main() { return WinMain(); }
