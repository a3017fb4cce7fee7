<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AmazonConnector</name>
    <message>
        <source>the configuration file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The store refused the configured account keys (%1). Check the keys in %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Request: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ssl error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network error: %1 (no complete answer within %2 seconds)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid reply: %1 (line %2, column %3)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Watches products in the stores of an online retailer and reacts when one comes into stock or its price falls to your line.

With -minimize as the first argument the window starts minimised.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Displays this help and ends.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Displays the version and ends.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DatabaseManager</name>
    <message>
        <source>Cannot Load</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to load previously saved items.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The database is not open.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogAbout</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>News, help and releases: &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for new version...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not check version information. 
Please go to website for more info.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pricewarden is up to date.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version %1 is available. &lt;a href=&quot;%2&quot;&gt;Download here&lt;/a&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogAlert</name>
    <message>
        <source>Alert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sound Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogConfirm</name>
    <message>
        <source>Confirm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not show this message again</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogPreference</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check availability of watched item(s) every</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play sound for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>loops unless I turn it off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select sound file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select your own...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email address to receive alert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not pop up alert window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show desktop notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch program when Mac OS X starts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically start watching when program starts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimize to system tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close to minimize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch program when %1 starts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Play Sound</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can not find sound file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogSearch</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DialogUpdate</name>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadManager</name>
    <message>
        <source>Download &apos;%1&apos; refused: only http and https addresses are fetched.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Problem opening save file &apos;%1&apos; for download &apos;%2&apos;: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download &apos;%1&apos; is larger than %2 MiB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Problem writing save file &apos;%1&apos;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Problem storing download as &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HttpNode</name>
    <message>
        <source>Invalid URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The response is larger than %1 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>ASIN / Full Product URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste full URL here and Amazon store will automatically be recognized.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>US</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Canada</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Germany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>France</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Japan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Go</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Amazon Store</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Item Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Store</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In Stock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Price</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What to Watch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reaction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Item Detail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not watch (inactive)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Item in stock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Item price drops to or below</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Includes third party</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How to React</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bring up item webpage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in cart and take me to checkout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send me an email</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Price History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Amazon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Highest:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lowest:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Pricewarden</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Amazon.com</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>United States</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>United Kingdom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste and Go</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Past and Go</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Idle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watching</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pricewarden is idle. You must click &quot;Start&quot; to start watching!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you really want to remove item &quot;%1&quot;?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ServiceManager</name>
    <message>
        <source>No service specified.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unsupported request method: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reply too large: more than %1 MiB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network error: (%1) %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown service</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WatchListWidget</name>
    <message>
        <source>Item in stock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Price drop to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not watch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show alert</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email me</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bring up webpage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Take me to check out</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WidgetPriceHistoryContent</name>
    <message>
        <source>MMM d</source>
        <comment>date label of the chart&apos;s time axis</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>XmlReplyCheck</name>
    <message>
        <source>elements nested deeper than %1 levels</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Critial Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program failed to initialize. Data will not be saved! Please close it and try again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
