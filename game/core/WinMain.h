#pragma once
// The program's entry: start-up, the main loop and shut-down.
int WinMain();
