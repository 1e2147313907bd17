#include "drops.h"

#include <QMimeData>
#include <QUrl>

#include "core/search.h"
#include "core/settings.h"

bool CanTakeDrop(const QMimeData *data) {
    return data && (data->hasUrls() || data->hasText());
}

DropContent ReadDrop(const QMimeData *data) {
    DropContent d;
    if (!CanTakeDrop(data)) return d;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &u : urls)
        if (u.isLocalFile()) d.files << u.toLocalFile();
    if (!d.files.isEmpty()) return d;
    if (!urls.isEmpty()) {
        d.address = d.text = urls.first().toString();
    } else {
        d.text = data->text().trimmed();
        d.address = AddressOrSearch(d.text, settings::Text(settings::Key::Search));
    }
    return d;
}
