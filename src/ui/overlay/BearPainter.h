// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/ActionKind.h"

class QPainter;
class QRectF;

namespace lumatide {

// One line-drawn bear in the given rectangle at a stage of its movement (phase 0 .. 1): ground
// line, motion guide (breathing rings for breathe), torso, head with ears and eyes, limbs.
// The current step is drawn strongest, the next one a little lighter, the others faint.
void paintBear(QPainter& painter, const QRectF& rect, ActionKind kind, double phase, bool active,
               bool next);

} // namespace lumatide
