#pragma once

#include <morvekBase/RefCountObject.h>

#include <string>
#include <vector>

namespace Morvek {

// A reference-counted object that can carry named attachments: other reference-counted objects
// that tools hang on a node or processor (for example an editor's selection record). The bag
// holds one reference on each attachment and releases it when the attachment is replaced,
// removed or the bag is destroyed. Copies share the attachments (each copy holds its own
// references).
class AttachmentBag : public RefCountObject {
public:
    AttachmentBag() = default;
    AttachmentBag(const AttachmentBag& other);
    AttachmentBag& operator=(const AttachmentBag& other);
    ~AttachmentBag() override;

    // Stores `object` under `key`, replacing what was there; null removes the key.
    void setAttachment(const std::string& key, RefCountObject* object);
    RefCountObject* findAttachment(const std::string& key) const;
    size_t getAttachmentCount() const { return _attachments.size(); }

private:
    void clearAttachments();

    std::vector<std::pair<std::string, RefCountObject*>> _attachments;
};

} // namespace Morvek
