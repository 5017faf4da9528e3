#pragma once

#include "tools/art/canvas.h"

// The flat images laid over the window: title, end of game, the running
// display's labels, morale bar and digit strip, and the hand cursor.
void PaintTitle(CCanvas& canvas);
// The title, the call to play again and the pause as a touch screen shows them:
// fingers and taps in place of the mouse and the keys.
void PaintTouchTitle(CCanvas& canvas);
void PaintTouchNextGame(CCanvas& canvas);
void PaintTouchPaused(CCanvas& canvas);
void PaintComplete(CCanvas& canvas);
// The end display's best score and how to go on.
void PaintBestText(CCanvas& canvas);
void PaintNewBest(CCanvas& canvas);
void PaintNextGame(CCanvas& canvas);
// Over the game while it is paused.
void PaintPaused(CCanvas& canvas);
void PaintMoraleText(CCanvas& canvas);
void PaintBlobsText(CCanvas& canvas);
void PaintScoreText(CCanvas& canvas);
void PaintMoraleBarBorder(CCanvas& canvas);
void PaintMoraleBar(CCanvas& canvas);
void PaintDigits(CCanvas& canvas);
void PaintHand(CCanvas& canvas);
// The speaker shown while the sound is muted.
void PaintMuted(CCanvas& canvas);
