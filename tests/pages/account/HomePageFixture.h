#pragma once

#include "AccountPageFixture.h"

#include "pages/account/AccountTexts.h"
#include "pages/account/HomePageComponent.h"
#include "ui/BoldTextEditor.h"

//==============================================================================
/** A home page on the fixture's store and server. */
class HomePageFixture : public AccountPageFixture
{
protected:
    void TearDown() override
    {
        page.reset();
        AccountPageFixture::TearDown();
    }

    HomePageComponent& makePage()
    {
        page = std::make_unique<HomePageComponent> (decoderLogo, partnerLogo, poweredByLogo, *store);
        recordNavigation (*page, navigation);
        return *page;
    }

    /** Shows the page with the named profile and waits for its background
        check to be handled. */
    void enter (const juce::String& name)
    {
        if (page == nullptr)
            makePage();

        page->setVisible (true);
        page->setCurrentProfile (name);
        ASSERT_TRUE (waitFor ([this]
                              { return ! page->isCheckRunning(); }));
        settle();
    }

    /** Presses "Submit New Image" and waits until the check and any QR request
        it led to have been handled. */
    void submit()
    {
        ASSERT_TRUE (click (*page, AccountTexts::submitNewImageCaption));
        ASSERT_TRUE (waitFor ([this]
                              { return ! page->isCheckRunning() && ! busy.load(); }));
        settle();
    }

    /** Answers QR requests with a picture, or with the reply given. */
    void serveQrCode (const juce::String& reply = {})
    {
        server.serve ("GET", "/qr.png", TestHttpResponse::bytes (qrPng(), "image/png"));
        serveReply (Endpoints::qrCode, reply.isNotEmpty() ? reply : qrReply (200, server.urlFor ("/qr.png")));
    }

    static juce::String qrReply (int status, const juce::String& address)
    {
        return "{\"status_code\": " + juce::String (status) + ", \"return_code\": 0, \"message\": \"QR for you\", \"qr_image_url\": \"" + address + "\"}";
    }

    static juce::MemoryBlock qrPng()
    {
        juce::Image image (juce::Image::ARGB, 40, 40, true);
        image.clear ({ 0, 0, 20, 20 }, juce::Colours::black);

        juce::MemoryOutputStream out;
        juce::PNGImageFormat().writeImageToStream (image, out);
        return out.getMemoryBlock();
    }

    int qrRequests() const { return server.countRequests ("/" + Endpoints::qrCode); }

    juce::ComboBox& userBox() { return *findChild<juce::ComboBox> (*page, AccountTexts::profileSelectorName); }
    juce::String badgeText() { return findChild<juce::Label> (*page)->getText(); }

    /** Selects a profile by its position in the bank, as the user would. */
    void choose (int bankIndex)
    {
        userBox().setSelectedId (bankIndex + 1);
        settle();
    }

    std::unique_ptr<HomePageComponent> page;
    std::vector<Navigation> navigation;
};
