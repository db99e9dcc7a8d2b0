#include "app/LockKeyState.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#ifdef QUILLOMAT_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

#ifdef QUILLOMAT_HAVE_X11
std::optional<bool> QueryX11(LockKey key)
{
    auto* pX11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* pDisplay = pX11 ? pX11->display() : nullptr;
    if (!pDisplay)
        return std::nullopt;
    const char* pszName = key == LockKey::Caps ? "Caps Lock" : key == LockKey::Num ? "Num Lock" : "Scroll Lock";
    Atom atom = XInternAtom(pDisplay, pszName, True);
    if (atom == None)
        return std::nullopt;
    int nIndex = 0;
    Bool bOn = False;
    if (!XkbGetNamedIndicator(pDisplay, atom, &nIndex, &bOn, nullptr, nullptr))
        return std::nullopt;
    return bOn != False;
}
#endif

std::optional<bool> QuerySysfs(LockKey key)
{
    const QString strSuffix = key == LockKey::Caps ? QStringLiteral("::capslock")
                              : key == LockKey::Num ? QStringLiteral("::numlock")
                                                    : QStringLiteral("::scrolllock");
    QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList entries = leds.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    std::optional<bool> result;
    for (const QString& strEntry : entries) {
        if (!strEntry.endsWith(strSuffix))
            continue;
        QFile file(leds.filePath(strEntry + QStringLiteral("/brightness")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        bool bOk = false;
        int nValue = QString::fromLatin1(file.readAll()).trimmed().toInt(&bOk);
        if (bOk)
            result = result.value_or(false) || nValue > 0;
    }
    return result;
}

} // namespace

std::optional<bool> QueryLockKey(LockKey key)
{
#ifdef QUILLOMAT_HAVE_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        if (std::optional<bool> state = QueryX11(key))
            return state;
#endif
    return QuerySysfs(key);
}
