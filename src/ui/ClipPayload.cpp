#include "ui/ClipPayload.h"

#include <QDataStream>
#include <QIODevice>

namespace zorvik::ui {
namespace {

QByteArray bytesOf(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }
std::string stringOf(const QByteArray& bytes) {
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

QMimeData* ClipPayload::toMimeData() const {
  QByteArray encoded;
  QDataStream out(&encoded, QIODevice::WriteOnly);
  out << static_cast<qint32>(item.kind) << bytesOf(item.path) << static_cast<qint32>(item.trayKind)
      << item.hasLinkRows << rightButton << static_cast<quint32>(indices.size());
  for (const std::uint32_t index : indices) out << index;
  out << static_cast<quint32>(paths.size());
  for (const std::string& path : paths) out << bytesOf(path);
  auto* data = new QMimeData;
  data->setData(kMimeType, encoded);
  return data;
}

std::optional<ClipPayload> ClipPayload::fromMimeData(const QMimeData* data) {
  if (!data || !data->hasFormat(kMimeType)) return std::nullopt;
  QDataStream in(data->data(kMimeType));
  ClipPayload payload;
  qint32 kind = 0;
  qint32 trayKind = 0;
  QByteArray path;
  quint32 count = 0;
  in >> kind >> path >> trayKind >> payload.item.hasLinkRows >> payload.rightButton >> count;
  if (kind < 0 || kind > static_cast<qint32>(view::DragItem::Kind::SeveralItems) || count > 10000000) return std::nullopt;
  payload.item.kind = static_cast<view::DragItem::Kind>(kind);
  payload.item.path = stringOf(path);
  payload.item.trayKind = trayKind;
  for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
    quint32 index = 0;
    in >> index;
    payload.indices.push_back(index);
  }
  quint32 pathCount = 0;
  in >> pathCount;
  for (quint32 i = 0; i < pathCount && i < 100000 && in.status() == QDataStream::Ok; ++i) {
    QByteArray one;
    in >> one;
    payload.paths.push_back(stringOf(one));
  }
  if (in.status() != QDataStream::Ok) return std::nullopt;
  return payload;
}

}  // namespace zorvik::ui
