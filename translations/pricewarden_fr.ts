<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AmazonConnector</name>
    <message>
        <source>the configuration file</source>
        <translation>le fichier de configuration</translation>
    </message>
    <message>
        <source>The store refused the configured account keys (%1). Check the keys in %2.</source>
        <translation>La boutique a refusé les clés de compte configurées (%1). Vérifiez les clés dans %2.</translation>
    </message>
    <message>
        <source>Invalid Request: </source>
        <translation>Requête invalide&#xa0;: </translation>
    </message>
    <message>
        <source>Ssl error.</source>
        <translation>Erreur SSL.</translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 MiB</source>
        <translation>Réponse invalide&#xa0;: plus de %1 Mio</translation>
    </message>
    <message>
        <source>Network error: %1 (no complete answer within %2 seconds)</source>
        <translation>Erreur réseau&#xa0;: %1 (pas de réponse complète en %2 secondes)</translation>
    </message>
    <message>
        <source>Network error: %1</source>
        <translation>Erreur réseau&#xa0;: %1</translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation>Réponse invalide&#xa0;: %1</translation>
    </message>
    <message>
        <source>Invalid reply: %1 (line %2, column %3)</source>
        <translation>Réponse invalide&#xa0;: %1 (ligne %2, colonne %3)</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>Indisponible</translation>
    </message>
    <message numerus="yes">
        <source>Invalid reply: %n item(s) that were not asked for</source>
        <translation>
            <numerusform>Réponse invalide&#xa0;: %n article non demandé</numerusform>
            <numerusform>Réponse invalide&#xa0;: %n articles non demandés</numerusform>
        </translation>
    </message>
    <message>
        <source>Invalid reply: more than %1 items</source>
        <translation>Réponse invalide&#xa0;: plus de %1 articles</translation>
    </message>
    <message>
        <source>Invalid reply: the checkout page is no web address</source>
        <translation>Réponse invalide&#xa0;: la page de paiement n’est pas une adresse web</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Watches products in the stores of an online retailer and reacts when one comes into stock or its price falls to your line.

With -minimize as the first argument the window starts minimised.</source>
        <translation>Surveille des produits dans les boutiques d’un marchand en ligne et réagit dès que l’un d’eux est de nouveau en stock ou que son prix descend jusqu’à votre seuil.

Avec -minimize comme premier argument, la fenêtre démarre réduite.</translation>
    </message>
    <message>
        <source>Displays this help and ends.</source>
        <translation>Affiche cette aide et quitte.</translation>
    </message>
    <message>
        <source>Displays the version and ends.</source>
        <translation>Affiche la version et quitte.</translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>Utilisation&#xa0;: %1 [options]</translation>
    </message>
</context>
<context>
    <name>DatabaseManager</name>
    <message>
        <source>Cannot Load</source>
        <translation>Chargement impossible</translation>
    </message>
    <message>
        <source>Unable to load previously saved items.</source>
        <translation>Impossible de charger les articles enregistrés.</translation>
    </message>
    <message>
        <source>The database is not open.</source>
        <translation>La base de données n’est pas ouverte.</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>In stock at %1</source>
        <translation>En stock à %1</translation>
    </message>
    <message>
        <source>Price dropped to %1</source>
        <translation>Prix descendu à %1</translation>
    </message>
    <message>
        <source>(was %1)</source>
        <translation>(avant&#xa0;: %1)</translation>
    </message>
    <message>
        <source>Open product page</source>
        <translation>Ouvrir la page du produit</translation>
    </message>
</context>
<context>
    <name>DialogAbout</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>News, help and releases: &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</source>
        <translation>Actualités, aide et nouvelles versions&#xa0;: &lt;a href=&quot;http://%1/&quot;&gt;%1&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Checking for new version...</source>
        <translation>Recherche d’une nouvelle version…</translation>
    </message>
    <message>
        <source>Can not check version information. 
Please go to website for more info.</source>
        <translation>Impossible de vérifier les informations de version.
Consultez le site web pour en savoir plus.</translation>
    </message>
    <message>
        <source>Pricewarden is up to date.</source>
        <translation>Pricewarden est à jour.</translation>
    </message>
    <message>
        <source>New version %1 is available. &lt;a href=&quot;%2&quot;&gt;Download here&lt;/a&gt;.</source>
        <translation>La nouvelle version %1 est disponible. &lt;a href=&quot;%2&quot;&gt;La télécharger ici&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation>La nouvelle version %1 est disponible.</translation>
    </message>
</context>
<context>
    <name>DialogAlert</name>
    <message>
        <source>Alert</source>
        <translation>Alerte</translation>
    </message>
    <message>
        <source>Sound Off</source>
        <translation>Couper le son</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le %1&#xa0;:&lt;br /&gt;%2&#xa0;: l’article est &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;en stock&lt;/font&gt;&lt;/b&gt;&#xa0;!&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;On %1:&lt;br /&gt;%2: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le %1&#xa0;:&lt;br /&gt;%2&#xa0;: le prix est descendu à &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;&#xa0;!&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>DialogConfirm</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Do not show this message again</source>
        <translation>Ne plus afficher ce message</translation>
    </message>
</context>
<context>
    <name>DialogPreference</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Watch</source>
        <translation>Surveillance</translation>
    </message>
    <message>
        <source>Check availability of watched item(s) every</source>
        <translation>Vérifier les articles surveillés toutes les</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>heures</translation>
    </message>
    <message>
        <source>Alert</source>
        <translation>Alerte</translation>
    </message>
    <message>
        <source>Play sound for</source>
        <translation>Jouer le son</translation>
    </message>
    <message>
        <source>loops unless I turn it off</source>
        <translation>fois, sauf si je l’arrête</translation>
    </message>
    <message>
        <source>Select sound file</source>
        <translation>Choisir le fichier son</translation>
    </message>
    <message>
        <source>Select your own...</source>
        <translation>Choisir un autre fichier…</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Tester</translation>
    </message>
    <message>
        <source>Email address to receive alert</source>
        <translation>Adresse e-mail pour les alertes</translation>
    </message>
    <message>
        <source>Do not pop up alert window</source>
        <translation>Ne pas afficher la fenêtre d’alerte</translation>
    </message>
    <message>
        <source>Show desktop notifications</source>
        <translation>Afficher des notifications sur le bureau</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Démarrage</translation>
    </message>
    <message>
        <source>Launch program when Mac OS X starts</source>
        <translation>Lancer le programme au démarrage de Mac OS X</translation>
    </message>
    <message>
        <source>Automatically start watching when program starts</source>
        <translation>Démarrer la surveillance au lancement du programme</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Divers</translation>
    </message>
    <message>
        <source>Minimize to system tray</source>
        <translation>Réduire dans la zone de notification</translation>
    </message>
    <message>
        <source>Close to minimize</source>
        <translation>Fermer la fenêtre la réduit</translation>
    </message>
    <message>
        <source>Launch program when %1 starts</source>
        <translation>Lancer le programme au démarrage de %1</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>Fichiers WAV (*.wav)</translation>
    </message>
    <message>
        <source>Play Sound</source>
        <translation>Jouer le son</translation>
    </message>
    <message>
        <source>Can not find sound file.</source>
        <translation>Fichier son introuvable.</translation>
    </message>
</context>
<context>
    <name>DialogSearch</name>
    <message>
        <source>Dialog</source>
        <translation>Dialogue</translation>
    </message>
</context>
<context>
    <name>DialogUpdate</name>
    <message>
        <source>Update</source>
        <translation>Mise à jour</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>New version %1 is available.</source>
        <translation>La nouvelle version %1 est disponible.</translation>
    </message>
</context>
<context>
    <name>DownloadManager</name>
    <message>
        <source>Download &apos;%1&apos; refused: only http and https addresses are fetched.</source>
        <translation>Téléchargement «&#xa0;%1&#xa0;» refusé&#xa0;: seules les adresses http et https sont récupérées.</translation>
    </message>
    <message>
        <source>Problem opening save file &apos;%1&apos; for download &apos;%2&apos;: %3</source>
        <translation>Impossible d’ouvrir le fichier «&#xa0;%1&#xa0;» pour le téléchargement «&#xa0;%2&#xa0;»&#xa0;: %3</translation>
    </message>
    <message>
        <source>Download &apos;%1&apos; is larger than %2 MiB.</source>
        <translation>Le téléchargement «&#xa0;%1&#xa0;» dépasse %2 Mio.</translation>
    </message>
    <message>
        <source>Problem writing save file &apos;%1&apos;: %2</source>
        <translation>Erreur d’écriture du fichier «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>Problem storing download as &apos;%1&apos;.</source>
        <translation>Impossible d’enregistrer le téléchargement sous «&#xa0;%1&#xa0;».</translation>
    </message>
</context>
<context>
    <name>HttpNode</name>
    <message>
        <source>Invalid URL</source>
        <translation>URL invalide</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>Statut HTTP %1</translation>
    </message>
    <message>
        <source>The response is larger than %1 MiB</source>
        <translation>La réponse dépasse %1 Mio</translation>
    </message>
    <message>
        <source>Too many redirects</source>
        <translation>Trop de redirections</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>ASIN / Full Product URL</source>
        <translation>ASIN / URL du produit</translation>
    </message>
    <message>
        <source>Paste full URL here and Amazon store will automatically be recognized.</source>
        <translation>Collez ici l’URL complète&#xa0;: la boutique Amazon sera reconnue automatiquement.</translation>
    </message>
    <message>
        <source>US</source>
        <translation>É.-U.</translation>
    </message>
    <message>
        <source>Canada</source>
        <translation>Canada</translation>
    </message>
    <message>
        <source>UK</source>
        <translation>R.-U.</translation>
    </message>
    <message>
        <source>Germany</source>
        <translation>Allemagne</translation>
    </message>
    <message>
        <source>France</source>
        <translation>France</translation>
    </message>
    <message>
        <source>Japan</source>
        <translation>Japon</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Amazon Store</source>
        <translation>Boutique Amazon</translation>
    </message>
    <message>
        <source>Item Name</source>
        <translation>Article</translation>
    </message>
    <message>
        <source>Store</source>
        <translation>Boutique</translation>
    </message>
    <message>
        <source>In Stock</source>
        <translation>En stock</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>Prix</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neuf</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Occasion</translation>
    </message>
    <message>
        <source>What to Watch</source>
        <translation>Surveillance</translation>
    </message>
    <message>
        <source>Reaction</source>
        <translation>Réaction</translation>
    </message>
    <message>
        <source>Item Detail</source>
        <translation>Détails de l’article</translation>
    </message>
    <message>
        <source>Do not watch (inactive)</source>
        <translation>Ne pas surveiller (inactif)</translation>
    </message>
    <message>
        <source>Item in stock</source>
        <translation>L’article est en stock</translation>
    </message>
    <message>
        <source>Item price drops to or below</source>
        <translation>Le prix descend à ou sous</translation>
    </message>
    <message>
        <source>Includes third party</source>
        <translation>Inclure les vendeurs tiers&#xa0;:</translation>
    </message>
    <message>
        <source>How to React</source>
        <translation>Réaction</translation>
    </message>
    <message>
        <source>Bring up item webpage</source>
        <translation>Ouvrir la page de l’article</translation>
    </message>
    <message>
        <source>Put</source>
        <translation>Mettre</translation>
    </message>
    <message>
        <source>in cart and take me to checkout</source>
        <translation>au panier, puis aller à la caisse</translation>
    </message>
    <message>
        <source>Send me an email</source>
        <translation>M’envoyer un e-mail</translation>
    </message>
    <message>
        <source>Price History</source>
        <translation>Historique des prix</translation>
    </message>
    <message>
        <source>Amazon</source>
        <translation>Amazon</translation>
    </message>
    <message>
        <source>Highest:</source>
        <translation>Plus haut&#xa0;:</translation>
    </message>
    <message>
        <source>Lowest:</source>
        <translation>Plus bas&#xa0;:</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Start Watching</source>
        <translation>Démarrer la surveillance</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Stop Watching</source>
        <translation>Arrêter la surveillance</translation>
    </message>
    <message>
        <source>Check Now</source>
        <translation>Vérifier</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mise à jour</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>About Pricewarden</source>
        <translation>À propos de Pricewarden</translation>
    </message>
    <message>
        <source>Amazon.com</source>
        <translation>Amazon.com</translation>
    </message>
    <message>
        <source>United States</source>
        <translation>États-Unis</translation>
    </message>
    <message>
        <source>United Kingdom</source>
        <translation>Royaume-Uni</translation>
    </message>
    <message>
        <source>Paste and Go</source>
        <translation>Coller et ajouter</translation>
    </message>
    <message>
        <source>Past and Go</source>
        <translation>Coller et ajouter</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>Inactif</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Watching</source>
        <translation>Surveillance en cours</translation>
    </message>
    <message>
        <source>Pricewarden is idle. You must click &quot;Start&quot; to start watching!</source>
        <translation>Pricewarden est inactif. Cliquez sur «&#xa0;Démarrer&#xa0;» pour lancer la surveillance&#xa0;!</translation>
    </message>
    <message>
        <source>Do you really want to remove item &quot;%1&quot;?</source>
        <translation>Voulez-vous vraiment supprimer l’article «&#xa0;%1&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>The alert e-mail could not be sent: %1</source>
        <translation>Impossible d’envoyer l’e-mail d’alerte&#xa0;: %1</translation>
    </message>
    <message>
        <source>You have set to receive email for alert but you did not provide an email address. Please go to preferences and set up your email address.</source>
        <translation>Vous avez demandé à recevoir les alertes par e-mail, mais vous n’avez indiqué aucune adresse. Veuillez saisir votre adresse e-mail dans les préférences.</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>Remarque</translation>
    </message>
    <message>
        <source>No items were set as to be watched. You can still set it after watch starts.</source>
        <translation>Aucun article n’est à surveiller. Vous pourrez encore en choisir une fois la surveillance lancée.</translation>
    </message>
    <message>
        <source>Start watching.</source>
        <translation>Surveillance démarrée.</translation>
    </message>
    <message>
        <source>Stop watching.</source>
        <translation>Surveillance arrêtée.</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item is &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;in stock&lt;/font&gt;&lt;/b&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1&#xa0;: &lt;b&gt;%2&lt;/b&gt;&#xa0;: l’article est &lt;b&gt;&lt;font color=&quot;#00aa00&quot;&gt;en stock&lt;/font&gt;&lt;/b&gt;&#xa0;!&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;%1: &lt;b&gt;%2&lt;/b&gt;: Item price has dropped to &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;!&lt;/p&gt;</source>
        <translation>&lt;p&gt;%1&#xa0;: &lt;b&gt;%2&lt;/b&gt;&#xa0;: le prix est descendu à &lt;font color=&quot;#00aa00&quot;&gt;&lt;b&gt;%3&lt;/b&gt;&lt;/font&gt;&#xa0;!&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Average price of the last 30, 90 and 365 days</source>
        <translation>Prix moyen des 30, 90 et 365 derniers jours</translation>
    </message>
    <message>
        <source>Ø 30 · 90 · 365 d:</source>
        <translation>Ø 30 · 90 · 365 j&#xa0;:</translation>
    </message>
    <message>
        <source>Save the price history of the selected item as a CSV file</source>
        <translation>Enregistrer l’historique des prix de l’article sélectionné dans un fichier CSV</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Exporter en CSV…</translation>
    </message>
    <message>
        <source>Export Price History</source>
        <translation>Exporter l’historique des prix</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exporter en CSV</translation>
    </message>
    <message>
        <source>The price history could not be saved as %1:
%2</source>
        <translation>Impossible d’enregistrer l’historique des prix sous %1&#xa0;:
%2</translation>
    </message>
</context>
<context>
    <name>PriceHistoryCsv</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>Prix</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neuf</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Occasion</translation>
    </message>
</context>
<context>
    <name>PriceStatistics</name>
    <message>
        <source>Average price of the days with an offer:</source>
        <translation>Prix moyen des jours avec une offre&#xa0;:</translation>
    </message>
    <message>
        <source>last %1 days: no offer</source>
        <translation>%1 derniers jours&#xa0;: aucune offre</translation>
    </message>
    <message>
        <source>last %1 days: %2 (1 day counted)</source>
        <translation>%1 derniers jours&#xa0;: %2 (1 jour compté)</translation>
    </message>
    <message>
        <source>last %1 days: %2 (%3 days counted)</source>
        <translation>%1 derniers jours&#xa0;: %2 (%3 jours comptés)</translation>
    </message>
</context>
<context>
    <name>ProductSheet</name>
    <message>
        <source>Not available</source>
        <translation>Indisponible</translation>
    </message>
    <message>
        <source>Eligible for &lt;b&gt;&lt;font color=&quot;#00cc00&quot;&gt;FREE Super Saver Shipping&lt;/font&gt;&lt;/b&gt;</source>
        <translation>Éligible à la &lt;b&gt;&lt;font color=&quot;#00cc00&quot;&gt;livraison GRATUITE Super Saver&lt;/font&gt;&lt;/b&gt;</translation>
    </message>
</context>
<context>
    <name>ServiceManager</name>
    <message>
        <source>No service specified.</source>
        <translation>Aucun service indiqué.</translation>
    </message>
    <message>
        <source>Unsupported request method: %1</source>
        <translation>Méthode de requête non prise en charge&#xa0;: %1</translation>
    </message>
    <message>
        <source>Reply too large: more than %1 MiB.</source>
        <translation>Réponse trop volumineuse&#xa0;: plus de %1 Mio.</translation>
    </message>
    <message>
        <source>Network error: (%1) %2</source>
        <translation>Erreur réseau&#xa0;: (%1) %2</translation>
    </message>
    <message>
        <source>Invalid reply: %1</source>
        <translation>Réponse invalide&#xa0;: %1</translation>
    </message>
    <message>
        <source>Unknown service</source>
        <translation>Service inconnu</translation>
    </message>
</context>
<context>
    <name>WatchListWidget</name>
    <message>
        <source>Item in stock</source>
        <translation>Article en stock</translation>
    </message>
    <message>
        <source>Price drop to %1</source>
        <translation>Baisse du prix à %1</translation>
    </message>
    <message>
        <source>Do not watch</source>
        <translation>Ne pas surveiller</translation>
    </message>
    <message>
        <source>Show alert</source>
        <translation>Afficher l’alerte</translation>
    </message>
    <message>
        <source>Email me</source>
        <translation>M’envoyer un e-mail</translation>
    </message>
    <message>
        <source>Bring up webpage</source>
        <translation>Ouvrir la page web</translation>
    </message>
    <message>
        <source>Take me to check out</source>
        <translation>Passer à la caisse</translation>
    </message>
</context>
<context>
    <name>WidgetPriceHistoryContent</name>
    <message>
        <source>MMM d</source>
        <comment>date label of the chart&apos;s time axis</comment>
        <translation>d MMM</translation>
    </message>
</context>
<context>
    <name>XmlReplyCheck</name>
    <message>
        <source>elements nested deeper than %1 levels</source>
        <translation>éléments imbriqués sur plus de %1 niveaux</translation>
    </message>
    <message>
        <source>a document type declaration is not accepted</source>
        <translation>une déclaration de type de document n’est pas acceptée</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Critial Error</source>
        <translation>Erreur critique</translation>
    </message>
    <message>
        <source>Program failed to initialize. Data will not be saved! Please close it and try again.</source>
        <translation>Le programme n’a pas pu s’initialiser. Les données ne seront pas enregistrées&#xa0;! Fermez-le et réessayez.</translation>
    </message>
</context>
</TS>
