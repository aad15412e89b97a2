#include <morvekBase/AttachmentBag.h>

namespace Morvek {

AttachmentBag::AttachmentBag(const AttachmentBag& other)
    : RefCountObject(other), _attachments(other._attachments)
{
    for (auto& entry : _attachments)
        entry.second->addRef();
}

AttachmentBag& AttachmentBag::operator=(const AttachmentBag& other)
{
    if (this == &other)
        return *this;
    RefCountObject::operator=(other);
    // Reference the new ones before releasing the old ones: they may overlap.
    for (auto& entry : other._attachments)
        entry.second->addRef();
    auto old = std::move(_attachments);
    _attachments = other._attachments;
    for (auto& entry : old)
        entry.second->subRef();
    return *this;
}

AttachmentBag::~AttachmentBag() { clearAttachments(); }

void AttachmentBag::setAttachment(const std::string& key, RefCountObject* object)
{
    if (object)
        object->addRef();
    for (auto it = _attachments.begin(); it != _attachments.end(); ++it) {
        if (it->first != key)
            continue;
        RefCountObject* old = it->second;
        if (object)
            it->second = object;
        else
            _attachments.erase(it);
        old->subRef();
        return;
    }
    if (object)
        _attachments.emplace_back(key, object);
}

RefCountObject* AttachmentBag::findAttachment(const std::string& key) const
{
    for (const auto& entry : _attachments)
        if (entry.first == key)
            return entry.second;
    return nullptr;
}

void AttachmentBag::clearAttachments()
{
    auto old = std::move(_attachments);
    _attachments.clear();
    for (auto& entry : old)
        entry.second->subRef();
}

} // namespace Morvek
