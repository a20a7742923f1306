#include "core/SiteRecord.h"

#include "core/FixedText.h"

SiteRecord SiteRecord::decode(QByteArrayView bytes)
{
    QByteArray full = bytes.first(qMin(bytes.size(), Size)).toByteArray();
    if (full.size() < Size) {
        full.append(Size - full.size(), ' ');
    }
    SiteRecord r;
    r.Name = FixedText::read(QByteArrayView(full).first(NameWidth));
    r.URL = FixedText::read(QByteArrayView(full).sliced(NameWidth, URLWidth));
    return r;
}

QByteArray SiteRecord::encode() const
{
    return FixedText::store(Name, NameWidth) + FixedText::store(URL, URLWidth);
}
