#include "tests/report/support/fonts.h"

#include "report/base/frxUtils.h"

namespace testsupport {

platform::FontValue fontOf(const QString &name, int points, unsigned style)
{
    platform::FontValue value;
    value.name = name;
    value.setSize(points);
    value.style = style;
    return value;
}

platform::FontValue mono(int points)
{
    return fontOf(QStringLiteral("DejaVu Sans Mono"), points);
}

int monoAdvance(int points)
{
    platform::Canvas canvas(600, 600);
    platform::FontValue value = mono(points);
    value.height = -int(frx::roundHalfEven(points * 600.0L / 72));
    canvas.setFont(value);
    return canvas.textWidth(u"a");
}

} // namespace testsupport
