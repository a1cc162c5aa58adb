// The website downloader for the public-domain photo site: a list page's
// pictures become rows (the picture's address and its caption), and each row
// is downloaded into the folder "public_domain" of the current folder,
// its caption translated into Japanese by the translation service; the rows
// are saved as sentence groups holding the caption, its translation and the
// picture's path.
//
// Everything the pages give is held at arm's length: a picture is saved only
// directly inside "public_domain" under a file name made safe, and the
// caption reaches the translation service percent-encoded.
#pragma once

#include <string>

#include "download/AbstractDownloader.h"
#include "download/SiteHosts.h"

class WebsiteDownloader : public AbstractDownloader {
public:
    static constexpr const char16_t* kTitle = u"Website Downloader";
    static constexpr const char16_t* kFolder = u"public_domain";

    explicit WebsiteDownloader(const SiteHosts& hosts);
    ~WebsiteDownloader() override;

    bool acceptsPage(const std::u16string& url) const override;
    bool normalizeItemUrl(std::u16string& url) const override;
    // Every picture anchor of the page with its caption.
    void collectItems(const std::u16string& page) override;

    // The address asked for the caption's translation.
    std::u16string translationRequest(const std::u16string& caption) const;
    // The caption in Japanese, empty when the service gave none. Blocking.
    std::u16string translate(const std::u16string& caption);
    // Where a picture's address is saved.
    static std::u16string localFileFor(const std::u16string& url);

protected:
    void initialize() override;
    std::unique_ptr<Element> downloadItem(int row) override;

private:
    std::u16string site_;        // "http://" + photo host
    std::u16string translator_;  // the translation service's host
};
