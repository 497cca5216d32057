<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QObject</name>
    <message>
        <source>language2</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>language6</source>
        <translation>Corvanix2</translation>
    </message>
    <message>
        <source>language7</source>
        <translation>Corvanix</translation>
    </message>
    <message>
        <source>language9</source>
        <translation>Please do not install this program to the partition you need to restore, \nto avoid overwriting the files to be restored!</translation>
    </message>
    <message>
        <source>language10</source>
        <translation>Detected that the program has been installed, do you want to uninstall the installed program?</translation>
    </message>
</context>
<context>
    <name>nerixSetupOnline</name>
    <message>
        <source>language1</source>
        <translation>Installing, please wait (completed</translation>
    </message>
    <message>
        <source>language2</source>
        <translation>Tip</translation>
    </message>
    <message>
        <source>language3</source>
        <translation>Has been successfully installed, close the installation program?</translation>
    </message>
    <message>
        <source>language4</source>
        <translation>Do you want to exit the installer?</translation>
    </message>
    <message>
        <source>language5</source>
        <translation>installation failed</translation>
    </message>
    <message>
        <source>language6</source>
        <translation>Corvanix2</translation>
    </message>
    <message>
        <source>language11</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>language12</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InstallThread</name>
    <message>
        <source>language6</source>
        <translation>Corvanix2</translation>
    </message>
    <message>
        <source>language7</source>
        <translation>Corvanix</translation>
    </message>
    <message>
        <source>language8</source>
        <translation>卸载</translation>
    </message>
</context>
<context>
    <name>nerixSetupOnlineClass</name>
    <message>
        <source>nerixSetupOnline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义安装 &gt;&gt;</source>
        <translation>Custom installation &gt;&gt;</translation>
    </message>
    <message>
        <source>自定义安装</source>
        <translation>Custom installation</translation>
    </message>
    <message>
        <source>Corvane</source>
        <translation>Corvanix</translation>
    </message>
    <message>
        <source>立即安装</source>
        <translation>install now</translation>
    </message>
    <message>
        <source>我已阅读并同意</source>
        <translation>I have read and agree</translation>
    </message>
    <message>
        <source>用户使用协议</source>
        <translation>User Agreement</translation>
    </message>
    <message>
        <source>浏览</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>安装路径：</source>
        <translation>installation path:</translation>
    </message>
    <message>
        <source>磁盘空间不足，请选择其他安装目录进行安装！</source>
        <translation>Insufficient disk space, please choose another installation directory to install!</translation>
    </message>
    <message>
        <source>占用空间：</source>
        <translation>take up space:</translation>
    </message>
    <message>
        <source>可用空间：</source>
        <translation>Available space:</translation>
    </message>
    <message>
        <source>212.1MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>12.2GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新安装</source>
        <translation>re-install</translation>
    </message>
    <message>
        <source>立即启动</source>
        <translation>Start immediately</translation>
    </message>
    <message>
        <source>正在安装，请稍后（已完成72%）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;专业数据恢复团队打造一键自助恢复&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt; &lt;head /&gt; &lt;body&gt; &lt;p align = &quot;center&quot;&gt; Professional data recovery team creates one-click self-recovery &lt;/ p&gt; &lt;/ body&gt; &lt;/ html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span&gt;支持电脑，硬盘，回收站，U盘，SD卡，相机等&lt;br/&gt;各类存储设备数据恢复&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span&gt;Support computer, hard disk, recycle bin, U disk, SD card, camera, etc. &lt;br/&gt; recovery of various storage devices&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;支持照片，文档，视频，邮件，音乐&lt;br/&gt;等550+种文件格恢复&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align = &quot;center&quot;&gt; Support 550+ kinds of file format recovery such as photos, documents, videos, emails, music &lt;br/&gt; &lt;/ p&gt; &lt;/ body&gt; &lt;/ html&quot;</translation>
    </message>
</context>
</TS>
