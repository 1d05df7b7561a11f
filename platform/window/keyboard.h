#pragma once
// The keyboard's held modifier keys, polled. Main thread only.
#include "platform/window/win_messages.h"

// The state of a key: the top bit set (a negative value) while it is held. Only the modifier
// keys VK_SHIFT, VK_CONTROL and VK_MENU (Alt) are known, either side of the keyboard; any other
// key answers 0.
SHORT GetKeyState(int virtual_key);
