#pragma once

// Whether the player's device has a touch screen, as the platform tells it: the
// title then shows the touch controls and the game a pause button to tap.
bool DeviceHasTouchScreen();
