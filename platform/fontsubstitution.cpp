#include "platform/fontsubstitution.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <mutex>

namespace platform {

namespace {

struct Substitution {
    QStringList faces;      // the Windows names, Chinese and English
    QStringList candidates; // installed families to try, best first
};

QList<Substitution> substitutions()
{
    const QStringList kai = {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW")};
    const QStringList ming = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")};
    const QStringList hei = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                             QStringLiteral("Noto Sans CJK TC")};
    const QStringList cjk = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("AR PL UMing CN"),
                             QStringLiteral("WenQuanYi Zen Hei")};
    auto with = [](QStringList first, const QStringList &rest) {
        first.append(rest);
        return first;
    };
    return {
        {{QStringLiteral("楷体"), QStringLiteral("KaiTi"), QStringLiteral("楷体_GB2312"),
          QStringLiteral("KaiTi_GB2312"), QStringLiteral("华文楷体"), QStringLiteral("STKaiti")},
         with(kai, cjk)},
        {{QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("新宋体"),
          QStringLiteral("NSimSun"), QStringLiteral("仿宋"), QStringLiteral("FangSong"),
          QStringLiteral("仿宋_GB2312"), QStringLiteral("华文宋体"), QStringLiteral("STSong")},
         with(ming, cjk)},
        {{QStringLiteral("黑体"), QStringLiteral("SimHei"), QStringLiteral("微软雅黑"),
          QStringLiteral("Microsoft YaHei"), QStringLiteral("华文黑体"), QStringLiteral("STHeiti")},
         with(hei, cjk)},
        {{QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("MS Sans Serif"),
          QStringLiteral("Segoe UI")},
         with({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")}, cjk)},
        {{QStringLiteral("Arial"), QStringLiteral("Helvetica")},
         with({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}, cjk)},
        {{QStringLiteral("Times New Roman"), QStringLiteral("Times")},
         with({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")}, cjk)},
        {{QStringLiteral("Courier New"), QStringLiteral("Courier")},
         with({QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}, cjk)},
    };
}

} // namespace

void installFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList installed = QFontDatabase::families();
        for (const Substitution &substitution : substitutions()) {
            QStringList present;
            for (const QString &candidate : substitution.candidates)
                if (installed.contains(candidate, Qt::CaseInsensitive)) present.append(candidate);
            if (present.isEmpty()) continue;
            for (const QString &face : substitution.faces)
                QFont::insertSubstitutions(face, present);
        }
    });
}

QString familyForFace(const QString &face)
{
    return isVerticalFace(face) ? face.mid(1) : face;
}

bool isVerticalFace(const QString &face)
{
    return face.startsWith(QLatin1Char('@'));
}

} // namespace platform
