#pragma once

//==============================================================================
/** The page a page asks the main component for, through its onNavigate
    callback. How a value is read depends on the page that sends it; the
    values are never stored or sent anywhere.
*/
enum class View : int
{
    StartPage = 0,
    PersonalizeYourAudio = 2,
    HomePage = 4,
    Updates = 6
};
