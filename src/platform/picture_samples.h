// How many samples per pixel an offscreen picture gets. Each sample holds a colour and a depth,
// so a picture's memory grows with its samples times its pixels: four samples of a picture
// 2160 rows high take about 200 MB, more than the rest of the program together. Pictures
// up to the size of four samples at 2560 x 1440 keep all the samples asked for; a larger one
// gets half as many, and half again, until it fits. At that size a pixel is small enough that
// two samples smooth its edges about as well as four do at 1440 rows.
#pragma once

constexpr long long PICTURE_SAMPLE_BUDGET = 4LL * 2560 * 1440;

// The samples for a picture of width x height pixels when `wanted` are asked for: `wanted`,
// or the largest of wanted/2, wanted/4, ... that keeps within PICTURE_SAMPLE_BUDGET, or 1.
int pictureSamplesWithinBudget(int wanted, int width, int height);
