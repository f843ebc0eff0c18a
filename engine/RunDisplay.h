// The run on the canvas: path dots or moving star pictures.
#pragma once

// In path mode, after the positions have moved: a dot at each star every so many steps.
void PathStep();
// In animation mode, after the years display: each star erased and drawn anew.
void AnimationStep();
