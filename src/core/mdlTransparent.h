#pragma once

class QWidget;

namespace mdlTransparent {
// 0 done; 1 alpha outside 0..255 (nothing changed); 2 a step failed.
int SetTranslucency(QWidget *window, int alpha);
// 0 done; 2 a step failed. The window is opaque afterwards.
int ClearTranslucency(QWidget *window);
}
