// Captions that a separator line of the form runs through are drawn above the line, on their own background.
#pragma once

class QWidget;

// For every horizontal or vertical line (QFrame HLine/VLine) among p_pForm's
// children and every label, check box, radio button or push button with a
// text whose rectangle the line's stroke runs through: the caption (or its
// ancestor that is the line's sibling) is raised above the line and fills its
// background, so the line stops at the caption instead of striking its text
// (only where the line runs through the text itself).
// The geometry is kept. Returns how many captions were lifted.
int LiftCaptionsOverSeparators(QWidget* p_pForm);
