<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AmazonConnector</name>
    <message>
        <source>the configuration file</source>
        <translation>der Konfigurationsdatei</translation>
    </message>
    <message>
        <source>The store refused the configured account keys (%1). Check the keys in %2.</source>
        <translation>Der Shop hat die eingestellten Kontoschlüssel abgelehnt (%1). Prüfen Sie die Schlüssel in %2.</translation>
    </message>
    <message>
        <source>Invalid Request: </source>
        <translation>Ungültige Anfrage: </translation>
    </message>
    <message>
        <source>Ssl error.</source>
        <translation>SSL-Fehler.</translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 MiB</source>
        <translation>Ungültige Antwort: mehr als %1 MiB</translation>
    </message>
    <message>
        <source>Network error: %1 (no complete answer within %2 seconds)</source>
        <translation>Netzwerkfehler: %1 (keine vollständige Antwort innerhalb von %2 Sekunden)</translation>
    </message>
    <message>
        <source>Network error: %1</source>
        <translation>Netzwerkfehler: %1</translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation>Ungültige Antwort: %1</translation>
    </message>
    <message>
        <source>Invalid reply: %1 (line %2, column %3)</source>
        <translation>Ungültige Antwort: %1 (Zeile %2, Spalte %3)</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message numerus="yes">
        <source>Invalid reply: %n item(s) that were not asked for</source>
        <translation>
            <numerusform>Ungültige Antwort: %n Artikel, nach dem nicht gefragt wurde</numerusform>
            <numerusform>Ungültige Antwort: %n Artikel, nach denen nicht gefragt wurde</numerusform>
        </translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 items</source>
        <translation>Ungültige Antwort: mehr als %1 Artikel</translation>
    </message>
    <message>
        <source>Invalid reply: the checkout page is no web address</source>
        <translation>Ungültige Antwort: die Kassenseite ist keine Webadresse</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Watches products in the stores of an online retailer and reacts when one comes into stock or its price falls to your line.

With -minimize as the first argument the window starts minimised.</source>
        <translation>Überwacht Produkte in den Shops eines Online-Händlers und reagiert, sobald eines wieder lieferbar ist oder sein Preis auf Ihre Preisgrenze fällt.

Mit -minimize als erstem Argument startet das Fenster minimiert.</translation>
    </message>
    <message>
        <source>Displays this help and ends.</source>
        <translation>Zeigt diese Hilfe an und beendet das Programm.</translation>
    </message>
    <message>
        <source>Displays the version and ends.</source>
        <translation>Zeigt die Version an und beendet das Programm.</translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>Aufruf: %1 [Optionen]</translation>
    </message>
</context>
<context>
    <name>DatabaseManager</name>
    <message>
        <source>Cannot Load</source>
        <translation>Laden nicht möglich</translation>
    </message>
    <message>
        <source>Unable to load previously saved items.</source>
        <translation>Die gespeicherten Artikel konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>The database is not open.</source>
        <translation>Die Datenbank ist nicht geöffnet.</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>In stock at %1</source>
        <translation>Auf Lager für %1</translation>
    </message>
    <message>
        <source>Price dropped to %1</source>
        <translation>Preis gefallen auf %1</translation>
    </message>
    <message>
        <source>(was %1)</source>
        <translation>(vorher %1)</translation>
    </message>
    <message>
        <source>Open product page</source>
        <translation>Produktseite öffnen</translation>
    </message>
</context>
<context>
    <name>DialogAbout</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>News, help and releases: &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</source>
        <translation>Neuigkeiten, Hilfe und Downloads: &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Checking for new version...</source>
        <translation>Suche nach einer neuen Version …</translation>
    </message>
    <message>
        <source>Can not check version information. 
Please go to website for more info.</source>
        <translation>Die Versionsinformationen können nicht abgerufen werden.
Weitere Informationen finden Sie auf der Website.</translation>
    </message>
    <message>
        <source>Pricewarden is up to date.</source>
        <translation>Pricewarden ist auf dem neuesten Stand.</translation>
    </message>
    <message>
        <source>New version %1 is available. &lt;a href=&quot;%2&quot;&gt;Download here&lt;/a&gt;.</source>
        <translation>Die neue Version %1 ist verfügbar. &lt;a href=&quot;%2&quot;&gt;Hier herunterladen&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation>Die neue Version %1 ist verfügbar.</translation>
    </message>
</context>
<context>
    <name>DialogAlert</name>
    <message>
        <source>Alert</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Sound Off</source>
        <translation>Ton aus</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;Am %1:&lt;br /&gt;%2: Der Artikel ist &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;auf Lager&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;Am %1:&lt;br /&gt;%2: Der Preis ist auf &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt; gefallen!&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>DialogConfirm</name>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Do not show this message again</source>
        <translation>Diese Meldung nicht mehr anzeigen</translation>
    </message>
</context>
<context>
    <name>DialogPreference</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>Überwachung</translation>
    </message>
    <message>
        <source>Check availability of watched item(s) every</source>
        <translation>Überwachte Artikel prüfen alle</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Alert</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Play sound for</source>
        <translation>Ton abspielen:</translation>
    </message>
    <message>
        <source>loops unless I turn it off</source>
        <translation>Mal, bis ich ihn abschalte</translation>
    </message>
    <message>
        <source>Select sound file</source>
        <translation>Tondatei auswählen</translation>
    </message>
    <message>
        <source>Select your own...</source>
        <translation>Eigene Datei wählen …</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>Email address to receive alert</source>
        <translation>E-Mail-Adresse für Alarme</translation>
    </message>
    <message>
        <source>Do not pop up alert window</source>
        <translation>Alarmfenster nicht einblenden</translation>
    </message>
    <message>
        <source>Show desktop notifications</source>
        <translation>Desktop-Benachrichtigungen anzeigen</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Programmstart</translation>
    </message>
    <message>
        <source>Launch program when Mac OS X starts</source>
        <translation>Programm beim Start von Mac OS X starten</translation>
    </message>
    <message>
        <source>Automatically start watching when program starts</source>
        <translation>Überwachung beim Programmstart automatisch beginnen</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Sonstiges</translation>
    </message>
    <message>
        <source>Minimize to system tray</source>
        <translation>In den Infobereich minimieren</translation>
    </message>
    <message>
        <source>Close to minimize</source>
        <translation>Schließen minimiert das Fenster</translation>
    </message>
    <message>
        <source>Launch program when %1 starts</source>
        <translation>Programm beim Start von %1 starten</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>WAV-Dateien (*.wav)</translation>
    </message>
    <message>
        <source>Play Sound</source>
        <translation>Ton abspielen</translation>
    </message>
    <message>
        <source>Can not find sound file.</source>
        <translation>Die Tondatei wurde nicht gefunden.</translation>
    </message>
</context>
<context>
    <name>DialogSearch</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
</context>
<context>
    <name>DialogUpdate</name>
    <message>
        <source>Update</source>
        <translation>Neue Version</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation>Die neue Version %1 ist verfügbar.</translation>
    </message>
</context>
<context>
    <name>DownloadManager</name>
    <message>
        <source>Download &apos;%1&apos; refused: only http and https addresses are fetched.</source>
        <translation>Download „%1“ abgelehnt: Nur http- und https-Adressen werden geladen.</translation>
    </message>
    <message>
        <source>Problem opening save file &apos;%1&apos; for download &apos;%2&apos;: %3</source>
        <translation>Die Zieldatei „%1“ für den Download „%2“ lässt sich nicht öffnen: %3</translation>
    </message>
    <message>
        <source>Download &apos;%1&apos; is larger than %2 MiB.</source>
        <translation>Der Download „%1“ ist größer als %2 MiB.</translation>
    </message>
    <message>
        <source>Problem writing save file &apos;%1&apos;: %2</source>
        <translation>Fehler beim Schreiben der Datei „%1“: %2</translation>
    </message>
    <message>
        <source>Problem storing download as &apos;%1&apos;.</source>
        <translation>Der Download konnte nicht als „%1“ gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>HttpNode</name>
    <message>
        <source>Invalid URL</source>
        <translation>Ungültige URL</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>HTTP-Status %1</translation>
    </message>
    <message>
        <source>The response is larger than %1 MiB</source>
        <translation>Die Antwort ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation>Zu viele Weiterleitungen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>ASIN / Full Product URL</source>
        <translation>ASIN / Produkt-URL</translation>
    </message>
    <message>
        <source>Paste full URL here and Amazon store will automatically be recognized.</source>
        <translation>Fügen Sie hier die vollständige URL ein; der Amazon-Shop wird automatisch erkannt.</translation>
    </message>
    <message>
        <source>US</source>
        <translation>USA</translation>
    </message>
    <message>
        <source>Canada</source>
        <translation>Kanada</translation>
    </message>
    <message>
        <source>UK</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>Germany</source>
        <translation>Deutschland</translation>
    </message>
    <message>
        <source>France</source>
        <translation>Frankreich</translation>
    </message>
    <message>
        <source>Japan</source>
        <translation>Japan</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Los</translation>
    </message>
    <message>
        <source>Amazon Store</source>
        <translation>Amazon-Shop</translation>
    </message>
    <message>
        <source>Item Name</source>
        <translation>Artikel</translation>
    </message>
    <message>
        <source>Store</source>
        <translation>Shop</translation>
    </message>
    <message>
        <source>In Stock</source>
        <translation>Auf Lager</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>Preis</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Gebraucht</translation>
    </message>
    <message>
        <source>What to Watch</source>
        <translation>Überwachung</translation>
    </message>
    <message>
        <source>Reaction</source>
        <translation>Reaktion</translation>
    </message>
    <message>
        <source>Item Detail</source>
        <translation>Artikeldetails</translation>
    </message>
    <message>
        <source>Do not watch (inactive)</source>
        <translation>Nicht überwachen (inaktiv)</translation>
    </message>
    <message>
        <source>Item in stock</source>
        <translation>Artikel ist auf Lager</translation>
    </message>
    <message>
        <source>Item price drops to or below</source>
        <translation>Preis fällt auf oder unter</translation>
    </message>
    <message>
        <source>Includes third party</source>
        <translation>Drittanbieter einbeziehen:</translation>
    </message>
    <message>
        <source>How to React</source>
        <translation>Reaktion</translation>
    </message>
    <message>
        <source>Bring up item webpage</source>
        <translation>Artikelseite im Browser öffnen</translation>
    </message>
    <message>
        <source>Put</source>
        <translation>In den Warenkorb:</translation>
    </message>
    <message>
        <source>in cart and take me to checkout</source>
        <translation>Stück, dann zur Kasse</translation>
    </message>
    <message>
        <source>Send me an email</source>
        <translation>E-Mail an mich senden</translation>
    </message>
    <message>
        <source>Price History</source>
        <translation>Preisverlauf</translation>
    </message>
    <message>
        <source>Amazon</source>
        <translation>Amazon</translation>
    </message>
    <message>
        <source>Highest:</source>
        <translation>Höchstpreis:</translation>
    </message>
    <message>
        <source>Lowest:</source>
        <translation>Tiefstpreis:</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Start Watching</source>
        <translation>Überwachung starten</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop Watching</source>
        <translation>Überwachung beenden</translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation>Jetzt prüfen</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>About Pricewarden</source>
        <translation>Über Pricewarden</translation>
    </message>
    <message>
        <source>Amazon.com</source>
        <translation>Amazon.com</translation>
    </message>
    <message>
        <source>United States</source>
        <translation>Vereinigte Staaten</translation>
    </message>
    <message>
        <source>United Kingdom</source>
        <translation>Vereinigtes Königreich</translation>
    </message>
    <message>
        <source>Paste and Go</source>
        <translation>Einfügen und los</translation>
    </message>
    <message>
        <source>Past and Go</source>
        <translation>Einfügen und los</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>Inaktiv</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Watching</source>
        <translation>Überwachung läuft</translation>
    </message>
    <message>
        <source>Pricewarden is idle. You must click &quot;Start&quot; to start watching!</source>
        <translation>Pricewarden ist inaktiv. Klicken Sie auf „Start“, um die Überwachung zu beginnen!</translation>
    </message>
    <message>
        <source>Do you really want to remove item &quot;%1&quot;?</source>
        <translation>Möchten Sie den Artikel „%1“ wirklich entfernen?</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>The alert e-mail could not be sent: %1</source>
        <translation>Die Alarm-E-Mail konnte nicht gesendet werden: %1</translation>
    </message>
    <message>
        <source>You have set to receive email for alert but you did not provide an email address. Please go to preferences and set up your email address.</source>
        <translation>Sie möchten Alarme per E-Mail erhalten, haben aber keine E-Mail-Adresse angegeben. Bitte tragen Sie Ihre E-Mail-Adresse in den Einstellungen ein.</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>No items were set as to be watched. You can still set it after watch starts.</source>
        <translation>Es ist kein Artikel zur Überwachung eingestellt. Sie können das auch nach dem Start der Überwachung noch tun.</translation>
    </message>
    <message>
        <source>Start watching.</source>
        <translation>Überwachung gestartet.</translation>
    </message>
    <message>
        <source>Stop watching.</source>
        <translation>Überwachung beendet.</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Der Artikel ist &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;auf Lager&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Der Preis ist auf &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt; gefallen!&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Average price of the last 30, 90 and 365 days</source>
        <translation>Durchschnittspreis der letzten 30, 90 und 365 Tage</translation>
    </message>
    <message>
        <source>Ø 30 · 90 · 365 d:</source>
        <translation>Ø 30 · 90 · 365 T:</translation>
    </message>
    <message>
        <source>Save the price history of the selected item as a CSV file</source>
        <translation>Den Preisverlauf des ausgewählten Artikels als CSV-Datei speichern</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>CSV exportieren …</translation>
    </message>
    <message>
        <source>Export Price History</source>
        <translation>Preisverlauf exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>The price history could not be saved as %1:
%2</source>
        <translation>Der Preisverlauf konnte nicht als %1 gespeichert werden:
%2</translation>
    </message>
</context>
<context>
    <name>PriceHistoryCsv</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>Preis</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Gebraucht</translation>
    </message>
</context>
<context>
    <name>PriceStatistics</name>
    <message>
        <source>Average price of the days with an offer:</source>
        <translation>Durchschnittspreis der Tage mit Angebot:</translation>
    </message>
    <message>
        <source>last %1 days: no offer</source>
        <translation>letzte %1 Tage: kein Angebot</translation>
    </message>
    <message>
        <source>last %1 days: %2 (1 day counted)</source>
        <translation>letzte %1 Tage: %2 (1 Tag gezählt)</translation>
    </message>
    <message>
        <source>last %1 days: %2 (%3 days counted)</source>
        <translation>letzte %1 Tage: %2 (%3 Tage gezählt)</translation>
    </message>
</context>
<context>
    <name>ProductSheet</name>
    <message>
        <source>Not available</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message>
        <source>Eligible for &lt;b&gt;&lt;font color=&quot;#00cc00&quot;&gt;FREE Super Saver Shipping&lt;/font&gt;&lt;/b&gt;</source>
        <translation>&lt;b&gt;&lt;font color=&quot;#00cc00&quot;&gt;Kostenloser Super-Spar-Versand&lt;/font&gt;&lt;/b&gt; möglich</translation>
    </message>
</context>
<context>
    <name>ServiceManager</name>
    <message>
        <source>No service specified.</source>
        <translation>Kein Dienst angegeben.</translation>
    </message>
    <message>
        <source>Unsupported request method: %1</source>
        <translation>Nicht unterstützte Anfragemethode: %1</translation>
    </message>
    <message>
        <source>Reply too large: more than %1 MiB.</source>
        <translation>Antwort zu groß: mehr als %1 MiB.</translation>
    </message>
    <message>
        <source>Network error: (%1) %2</source>
        <translation>Netzwerkfehler: (%1) %2</translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation>Ungültige Antwort: %1</translation>
    </message>
    <message>
        <source>Unknown service</source>
        <translation>Unbekannter Dienst</translation>
    </message>
</context>
<context>
    <name>WatchListWidget</name>
    <message>
        <source>Item in stock</source>
        <translation>Artikel auf Lager</translation>
    </message>
    <message>
        <source>Price drop to %1</source>
        <translation>Preis sinkt auf %1</translation>
    </message>
    <message>
        <source>Do not watch</source>
        <translation>Nicht überwachen</translation>
    </message>
    <message>
        <source>Show alert</source>
        <translation>Alarm anzeigen</translation>
    </message>
    <message>
        <source>Email me</source>
        <translation>E-Mail senden</translation>
    </message>
    <message>
        <source>Bring up webpage</source>
        <translation>Webseite öffnen</translation>
    </message>
    <message>
        <source>Take me to check out</source>
        <translation>Zur Kasse gehen</translation>
    </message>
</context>
<context>
    <name>WidgetPriceHistoryContent</name>
    <message>
        <source>MMM d</source>
        <comment>date label of the chart&apos;s time axis</comment>
        <translation>d. MMM</translation>
    </message>
</context>
<context>
    <name>XmlReplyCheck</name>
    <message>
        <source>elements nested deeper than %1 levels</source>
        <translation>Elemente tiefer als %1 Ebenen verschachtelt</translation>
    </message>
    <message>
        <source>a document type declaration is not accepted</source>
        <translation>eine Dokumenttyp-Deklaration wird nicht angenommen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Critial Error</source>
        <translation>Kritischer Fehler</translation>
    </message>
    <message>
        <source>Program failed to initialize. Data will not be saved! Please close it and try again.</source>
        <translation>Das Programm konnte nicht initialisiert werden. Daten werden nicht gespeichert! Bitte schließen Sie es und versuchen Sie es erneut.</translation>
    </message>
</context>
</TS>
