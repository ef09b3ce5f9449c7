#include "MultiViewTemplates.h"

namespace {

constexpr double kThird = 1.0 / 3.0;
constexpr double kTwoThirds = 2.0 / 3.0;

constexpr MultiViewCell Cell(double x, double y, double zx, double zy) { return {x, y, zx, zy, 1.0, 0.0, 0.0, 0.0}; }

constexpr MultiViewCell Quarter(double x, double y) { return Cell(x, y, 0.25, 0.25); }

constexpr MultiViewTemplate kTemplates[kMultiViewTemplateCount] = {
    {0, 1, {Cell(0, 0, 1, 1)}},
    {1, 2, {Cell(-0.5, 0, 0.5, 1), Cell(0.5, 0, 0.5, 1)}},
    {2, 2, {Cell(0.5, -0.5, 0.4, 0.4), Cell(0, 0, 1, 1)}},
    {3, 3, {Cell(-0.5, 0, 0.5, 1), Cell(0.5, 0.5, 0.5, 0.5), Cell(0.5, -0.5, 0.5, 0.5)}},
    {2, 3, {Cell(0.5, -0.5, 0.4, 0.4), Cell(-0.5, -0.5, 0.4, 0.4), Cell(0, 0, 1, 1)}},
    {5, 6,
     {Cell(-kTwoThirds, 0.5, kThird, 0.5), Cell(0, 0.5, kThird, 0.5), Cell(kTwoThirds, 0.5, kThird, 0.5),
      Cell(-kTwoThirds, -0.5, kThird, 0.5), Cell(0, -0.5, kThird, 0.5), Cell(kTwoThirds, -0.5, kThird, 0.5)}},
    {6, 5,
     {Quarter(-0.75, -0.75), Quarter(-0.25, -0.75), Quarter(0.25, -0.75), Quarter(0.75, -0.75), Cell(0, 0, 1, 1)}},
    {7, 9,
     {Quarter(-0.75, -0.25), Quarter(-0.25, -0.25), Quarter(0.25, -0.25), Quarter(0.75, -0.25), Quarter(-0.75, -0.75),
      Quarter(-0.25, -0.75), Quarter(0.25, -0.75), Quarter(0.75, -0.75), Cell(0, 0, 1, 1)}},
    {8, 10,
     {Cell(-0.5, 0.5, 0.5, 0.5), Cell(0.5, 0.5, 0.5, 0.5), Quarter(-0.75, -0.25), Quarter(-0.25, -0.25),
      Quarter(0.25, -0.25), Quarter(0.75, -0.25), Quarter(-0.75, -0.75), Quarter(-0.25, -0.75), Quarter(0.25, -0.75),
      Quarter(0.75, -0.75)}},
    {9, 4, {Cell(-0.5, 0.5, 0.5, 0.5), Cell(0.5, 0.5, 0.5, 0.5), Cell(-0.5, -0.5, 0.5, 0.5), Cell(0.5, -0.5, 0.5, 0.5)}},
    {5, 9,
     {Cell(-kTwoThirds, kTwoThirds, kThird, kThird), Cell(0, kTwoThirds, kThird, kThird),
      Cell(kTwoThirds, kTwoThirds, kThird, kThird), Cell(-kTwoThirds, 0, kThird, kThird), Cell(0, 0, kThird, kThird),
      Cell(kTwoThirds, 0, kThird, kThird), Cell(-kTwoThirds, -kTwoThirds, kThird, kThird),
      Cell(0, -kTwoThirds, kThird, kThird), Cell(kTwoThirds, -kTwoThirds, kThird, kThird)}},
    {11, 16,
     {Quarter(-0.75, 0.75), Quarter(-0.25, 0.75), Quarter(0.25, 0.75), Quarter(0.75, 0.75), Quarter(-0.75, 0.25),
      Quarter(-0.25, 0.25), Quarter(0.25, 0.25), Quarter(0.75, 0.25), Quarter(-0.75, -0.25), Quarter(-0.25, -0.25),
      Quarter(0.25, -0.25), Quarter(0.75, -0.25), Quarter(-0.75, -0.75), Quarter(-0.25, -0.75), Quarter(0.25, -0.75),
      Quarter(0.75, -0.75)}},
};

}  // namespace

const MultiViewTemplate* GetMultiViewTemplate(int index)
{
    if (index < 0 || index >= kMultiViewTemplateCount)
        return nullptr;
    return &kTemplates[index];
}
